// Every save of the program on a file system that is really full (a tmpfs
// filled to the last block) and on one that is really read-only (a
// read-only bind mount), in a helper process with a mount namespace of its
// own: each save is reported with the path and the reason, none is
// announced as saved, and every old file keeps every byte. Where this
// machine does not allow the helper to mount, the tests skip.
#include "app/shell.h"
#include "record/record_file.h"
#include "sim/simulator.h"
#include "tests/reliability/helper_process.h"
#include "tests/reliability/save_flows.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;
using reliability::FileKind;
using reliability::KindInfo;

namespace {

constexpr size_t kBlock = 4096;

struct Report {
    bool announced = false;
    std::string text;
};

class RealFileSystem : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        dir_ = (fs::temp_directory_path() /
                ("c3-realfs-" + std::to_string(::getpid()) + "-" + std::to_string(counter++)))
                   .string();
        sim::Options o;
        o.tcp = true;
        o.tcpPort = 0;
        sensor_ = std::make_unique<sim::Simulator>(o);
        std::string error;
        ASSERT_TRUE(sensor_->Start(&error)) << error;
    }
    void TearDown() override {
        sensor_.reset();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // The old files in `where`. On the full file system the record file
    // fills its last block exactly, so that one more line needs a new one.
    void WriteOldFiles(const std::string& where, bool blockAligned) {
        fs::create_directories(where);
        for (const KindInfo& kind : reliability::AllKinds()) {
            std::string old = reliability::OldContent(kind.kind, sensor_->TcpPort());
            if (kind.kind == FileKind::RecordLine && blockAligned) {
                const std::string lines = old.substr(old.find("07-04-2025"));
                const std::string bare = record::RecordFileHeader(app::kProgramTitle, "X");
                const size_t idLength = kBlock - bare.size() - lines.size() + 1;
                old = record::RecordFileHeader(app::kProgramTitle, std::string(idLength, 'X')) +
                      lines;
            }
            reliability::WriteBytes(where + "/" + kind.fileName, old);
            old_[kind.fileName] = old;
        }
    }

    // Runs the helper; false (and the test skips) when it may not mount.
    bool RunHelper(const char* mode) {
        const pid_t helper = reliability::StartHelper({mode, dir_}, dir_ + "/helper.log");
        EXPECT_GT(helper, 0);
        const int status = reliability::WaitForHelper(helper, 60);
        const std::string log = reliability::ReadBytes(dir_ + "/helper.log");
        if (WIFEXITED(status) && WEXITSTATUS(status) == reliability::kHelperCannotMount) {
            std::printf("%s", log.c_str());
            return false;
        }
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << reliability::DescribeStatus(status) << "\n"
            << log;
        return true;
    }

    std::map<std::string, Report> Reports() const {
        std::map<std::string, Report> reports;
        std::istringstream in(reliability::ReadBytes(dir_ + "/report.txt"));
        for (std::string line; std::getline(in, line);) {
            const size_t tab1 = line.find('\t');
            const size_t tab2 = line.find('\t', tab1 + 1);
            if (tab2 == std::string::npos) {
                continue;
            }
            Report& r = reports[line.substr(0, tab1)];
            r.announced = line.substr(tab1 + 1, tab2 - tab1 - 1) == "1";
            r.text = line.substr(tab2 + 1);
        }
        return reports;
    }

    // Every kind reported with its path and one of `reasons`, nothing
    // announced, every old file whole in `resultDir`, no temporary file.
    void ExpectEveryOldFileKept(const std::string& resultDir,
                                const std::map<bool, std::vector<std::string>>& reasons) {
        const std::map<std::string, Report> reports = Reports();
        for (const KindInfo& kind : reliability::AllKinds()) {
            SCOPED_TRACE(kind.name);
            ASSERT_EQ(1u, reports.count(kind.name)) << "no report";
            const Report& r = reports.at(kind.name);
            EXPECT_FALSE(r.announced);
            EXPECT_NE(std::string::npos, r.text.find(dir_ + "/fs/" + kind.fileName)) << r.text;
            const bool record =
                kind.kind == FileKind::RecordHeader || kind.kind == FileKind::RecordLine;
            bool reasonGiven = false;
            for (const std::string& reason : reasons.at(record)) {
                reasonGiven |= r.text.find(reason) != std::string::npos;
            }
            EXPECT_TRUE(reasonGiven) << r.text;
            EXPECT_EQ(old_.at(kind.fileName),
                      reliability::ReadBytes(resultDir + "/" + kind.fileName));
        }
        EXPECT_TRUE(reliability::TemporaryFiles(resultDir).empty());
    }

    std::string dir_;
    std::unique_ptr<sim::Simulator> sensor_;
    std::map<std::string, std::string> old_;
};

} // namespace

TEST_F(RealFileSystem, AFullDiskKeepsEveryOldFileAndSaysSo) {
    WriteOldFiles(dir_ + "/stage", /*blockAligned=*/true);
    if (!RunHelper("full")) {
        GTEST_SKIP() << "mounting is not allowed here";
    }
    ExpectEveryOldFileKept(dir_ + "/after", {{false, {"Writing the file failed (disk full?)."}},
                                             {true, {"No space left on device"}}});
}

TEST_F(RealFileSystem, AReadOnlyDirectoryKeepsEveryOldFileAndSaysSo) {
    WriteOldFiles(dir_ + "/fs", /*blockAligned=*/false);
    if (!RunHelper("readonly")) {
        GTEST_SKIP() << "mounting is not allowed here";
    }
    ExpectEveryOldFileKept(dir_ + "/fs", {{false,
                                           {"The file is write-protected or is not a regular "
                                            "file.",
                                            "The directory does not exist or is not writable."}},
                                          {true, {"Read-only file system"}}});
}
