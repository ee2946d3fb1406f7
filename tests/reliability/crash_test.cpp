// The program really dies in the middle of writing its files, in a process
// of its own (reliability_helper) connected to the simulated sensor here:
//  - killed (SIGKILL) when a finished temporary file is about to replace the
//    old one, for every file it replaces: every old file keeps every byte;
//  - killed while it records triggered frames as fast as the sensor sends
//    them: the record file holds its header and whole lines only, and they
//    are the first frames the sensor sent, none missing before the last.
#include "app/shell.h"
#include "inifile/ini_store.h"
#include "record/record_file.h"
#include "sim/simulator.h"
#include "tests/reliability/helper_process.h"
#include "tests/reliability/save_flows.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <sys/wait.h>
#include <thread>

namespace fs = std::filesystem;
using reliability::FileKind;
using reliability::KindInfo;

namespace {

class Crash : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        dir_ = (fs::temp_directory_path() /
                ("c3-crash-" + std::to_string(::getpid()) + "-" + std::to_string(counter++)))
                   .string();
        fs::create_directories(dir_);
        sim::Options o;
        o.tcp = true;
        o.tcpPort = 0;
        sensor_ = std::make_unique<sim::Simulator>(o);
        std::string error;
        ASSERT_TRUE(sensor_->Start(&error)) << error;
        for (const KindInfo& kind : reliability::AllKinds()) {
            reliability::WriteBytes(reliability::TargetPath(kind, dir_),
                                    reliability::OldContent(kind.kind, sensor_->TcpPort()));
        }
    }
    void TearDown() override {
        sensor_.reset();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    std::string Log() const { return reliability::ReadBytes(dir_ + "/helper.log"); }

    // The number in "NAME=N" of the sensor's status line.
    long StatusValue(const std::string& name) {
        const std::string status = sensor_->Command("status");
        const size_t at = status.find(" " + name + "=");
        return at == std::string::npos ? -1 : std::stol(status.substr(at + name.size() + 2));
    }
    bool AutoSendOn() {
        return sensor_->Command("status").find("auto-send=on") != std::string::npos;
    }
    // Polls `done` for up to 30 s.
    static void WaitFor(const std::function<bool()>& done) {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!done() && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    std::string dir_;
    std::unique_ptr<sim::Simulator> sensor_;
};

// The "FILE TYPE:" of each file written through the INI store.
std::string FileTypeOf(const std::string& text) {
    ini::IniStorePtr store = ini::MakeIniStore();
    ini::Ini_ReadFromMemory(store.get(), text.data(), text.size());
    std::string type;
    ini::Ini_GetString(store.get(), "GENERAL INFO", "FILE TYPE:", &type, 255);
    return type;
}

const std::map<FileKind, std::string> kFileTypes = {
    {FileKind::Settings, "Panel Settings"},
    {FileKind::Parameter, "Parameter File"},
    {FileKind::Attributes, "Table Attributes"},
    {FileKind::HwInfo, "Hardware Initial File"},
};

std::vector<std::string> Split(const std::string& text, const std::string& by) {
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t at; (at = text.find(by, from)) != std::string::npos; from = at + by.size()) {
        parts.push_back(text.substr(from, at - from));
    }
    parts.push_back(text.substr(from));
    return parts;
}

bool IsNumber(const std::string& s) {
    size_t i = !s.empty() && s[0] == '-' ? 1 : 0;
    if (i == s.size()) {
        return false;
    }
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') {
            return false;
        }
    }
    return true;
}

// The colour of frame i: RED and GREEN count it, so each line names its frame.
int RedOf(int i) {
    return 1000 + i % 1000;
}
int GreenOf(int i) {
    return 1000 + i / 1000;
}

} // namespace

TEST_F(Crash, DyingBetweenWritingAndReplacingLeavesEveryOldFileWhole) {
    std::map<std::string, std::string> old;
    for (const KindInfo& kind : reliability::AllKinds()) {
        old[kind.fileName] = reliability::ReadBytes(reliability::TargetPath(kind, dir_));
    }
    for (const KindInfo& kind : reliability::AllKinds()) {
        if (!kind.replaced) {
            continue;
        }
        SCOPED_TRACE(kind.name);
        const pid_t helper =
            reliability::StartHelper({"crash", kind.name, dir_}, dir_ + "/helper.log");
        ASSERT_GT(helper, 0);
        const int status = reliability::WaitForHelper(helper, 60);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << reliability::DescribeStatus(status) << "\n"
            << Log();
        for (const auto& [name, bytes] : old) {
            EXPECT_EQ(bytes, reliability::ReadBytes(dir_ + "/" + name)) << name;
        }
        // The process died with its new file complete beside the old one:
        // the worst moment, and the only trace it leaves.
        const std::vector<std::string> left = reliability::TemporaryFiles(dir_);
        ASSERT_EQ(1u, left.size());
        const std::string written = reliability::ReadBytes(dir_ + "/" + left[0]);
        if (kind.kind == FileKind::RecordHeader) {
            EXPECT_EQ(record::RecordFileHeader(app::kProgramTitle, "OLD LINE 7"), written);
        } else {
            EXPECT_EQ(kFileTypes.at(kind.kind), FileTypeOf(written));
        }
        fs::remove(dir_ + "/" + left[0]);
    }
}

TEST_F(Crash, KillingARecordingAtAHighRateLeavesWholeLinesWithNoneMissing) {
    // A fixed colour keeps the light barrier low: only the triggers here send frames.
    sensor_->Command("scene noise 0");
    sensor_->Command("scene color 1000 1000 1000");
    const std::string path = dir_ + "/RecordFile.dat";
    const std::string header = record::RecordFileHeader(app::kProgramTitle, "OLD LINE 7");
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        fs::remove(path);
        // The sensor has noticed that the previous recorder is gone.
        WaitFor([&] { return !AutoSendOn(); });
        ASSERT_FALSE(AutoSendOn());
        const long sentBefore = StatusValue("auto-sent");
        const pid_t helper = reliability::StartHelper({"record", dir_}, dir_ + "/helper.log");
        ASSERT_GT(helper, 0);
        WaitFor([&] { return AutoSendOn() || !reliability::HelperRunning(helper); });
        ASSERT_TRUE(AutoSendOn()) << Log();

        // Frames as fast as the sensor scans, each of its own colour; the
        // kill comes in the middle of the stream.
        const int killAt = 300 + 250 * run;
        for (int i = 0; i < killAt + 50; ++i) {
            sensor_->Command("scene color " + std::to_string(RedOf(i)) + " " +
                             std::to_string(GreenOf(i)) + " 1000");
            std::this_thread::sleep_for(std::chrono::microseconds(300)); // one scan at least
            sensor_->Command("trigger");
            if (i == killAt) {
                ::kill(helper, SIGKILL);
            }
        }
        const int status = reliability::WaitForHelper(helper, 30);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << reliability::DescribeStatus(status) << "\n"
            << Log();
        const long sent = StatusValue("auto-sent") - sentBefore;

        const std::string text = reliability::ReadBytes(path);
        ASSERT_EQ(0u, text.find(header)) << "the header is damaged";
        const std::string body = text.substr(header.size());
        ASSERT_TRUE(body.empty() || body.ends_with("\r\n")) << "the file ends in half a line";
        std::vector<std::string> lines = Split(body, "\r\n");
        lines.pop_back(); // after the last CR LF
        EXPECT_GT(lines.size(), 0u);
        EXPECT_LE(static_cast<long>(lines.size()), sent);
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::vector<std::string> fields = Split(lines[i], "\t");
            ASSERT_EQ(13u, fields.size()) << "line " << i << ": " << lines[i];
            EXPECT_EQ(10u, fields[0].size()) << lines[i];
            EXPECT_EQ(8u, fields[1].size()) << lines[i];
            for (size_t f = 2; f < fields.size(); ++f) {
                ASSERT_TRUE(IsNumber(fields[f])) << "line " << i << ": " << lines[i];
            }
            // Line i is frame i: none before it is missing.
            ASSERT_EQ(std::to_string(RedOf(static_cast<int>(i))), fields[2]) << "line " << i;
            ASSERT_EQ(std::to_string(GreenOf(static_cast<int>(i))), fields[3]) << "line " << i;
        }
        std::printf("[ run %d ] killed after %d triggers: %zu lines, %ld frames sent\n", run,
                    killAt + 1, lines.size(), sent);
    }
}
