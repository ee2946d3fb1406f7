// chromik3-cli's measurements against the simulated sensor: live lines and
// record files in the record file's format, a triggered recording ended by
// Ctrl-C, and the hardware information, cycle time and scope files compared
// with what the program's own code makes of the same sensor.
#include "app/panels.h"
#include "link/com232.h"
#include "platform/shell_services.h"
#include "record/record_file.h"
#include "record/recorder_logic.h"
#include "scope/scope_run.h"
#include "tests/app/app_fixture.h"
#include "tests/cli/cli_run.h"
#include "tests/support/file_bytes.h"

#include <QPushButton>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using testfiles::ReadBytes;

namespace {

std::string Decimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    return text;
}

class CliAcquire : public AppFixture {
protected:
    std::string Tcp() const { return "127.0.0.1:" + std::to_string(sensor_->TcpPort()); }
    CliRun Run(const std::vector<std::string>& args, const CliStreams& streams = {}) {
        return RunCli(dir_, args, streams);
    }
    // Waits until the sensor sends frames by itself (or has stopped it).
    bool AutoSend(sim::Simulator& sensor, bool on) {
        const std::string wanted = on ? "auto-send=on" : "auto-send=off";
        for (int i = 0; i < 500; ++i) {
            if (sensor.Command("status").find(wanted) != std::string::npos) {
                return true;
            }
            SettleFor(0.01);
        }
        return false;
    }

    // A steady scene the tool and the program both measure.
    void StartSteadySensor() {
        ASSERT_NO_FATAL_FAILURE(StartSensor());
        for (const std::string& command : SteadyScene()) {
            sensor_->Command(command);
        }
        sensor_->Command("in0 0");
    }
    // The link of this process to the sensor, as the program opens it.
    void OpenLink() {
        app::P().sensor.link.Reset();
        app::P().sensor.link.ComProtocol = com232::kProtocolTcp;
        app::P().sensor.link.ServerAddress = "127.0.0.1";
        app::P().sensor.link.ServerPort = sensor_->TcpPort();
        app::P().sensor.link.InitTCP_IP();
        ASSERT_GE(app::P().sensor.link.LinkResult, 0);
        app::P().sensor.link.LinkOk = 1;
    }
    // One record-file line of a frame read by this process now.
    std::string ProgramRecordLine() {
        OpenLink();
        app::P().sensor.link.FillTxBuf(com232::kOrderLiveData, 0, 0);
        EXPECT_EQ(1, app::P().sensor.link.DataExchange(8));
        const live::LiveDataFrameBytes frame =
            record::FrameOfData(app::P().sensor.link.RxData(), live::kLiveFrameSize);
        app::P().sensor.link.CloseLink();
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return record::RecordLine(frame, local);
    }
    // A data line without its date, time and temperature (which move on).
    static std::string Measured(const std::string& line) {
        const size_t first = line.find('\t', line.find('\t') + 1) + 1;
        return line.substr(first, line.rfind('\t') - first);
    }
    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line + "\n");
        }
        return lines;
    }
    // Data lines have a date of the form MM-DD-YYYY, a time and 11 fields.
    static void ExpectDataLine(const std::string& line) {
        EXPECT_EQ(12, std::count(line.begin(), line.end(), '\t')) << line;
        EXPECT_EQ('-', line[2]) << line;
        EXPECT_EQ(':', line[13]) << line;
        EXPECT_EQ("\r\n", line.substr(line.size() - 2)) << line;
    }
};

} // namespace

TEST_F(CliAcquire, LiveAndRecordWriteTheRecordFilesLinesAndHeader) {
    ASSERT_NO_FATAL_FAILURE(StartSteadySensor());
    const std::string header = record::RecordFileHeader(shell::kProgramTitle, "");
    const CliRun live = Run({"live", "--tcp", Tcp(), "-n", "3", "--header"});
    EXPECT_EQ(0, live.status) << live.err;
    ASSERT_EQ(header, live.out.substr(0, header.size()));
    const std::vector<std::string> liveLines = Lines(live.out.substr(header.size()));
    ASSERT_EQ(3u, liveLines.size());
    const std::string expected = ProgramRecordLine();
    for (const std::string& line : liveLines) {
        ExpectDataLine(line);
        EXPECT_EQ(Measured(expected), Measured(line));
    }

    // A counted recording with the panel ID of the program's settings file.
    WriteSettingsText("[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n"
                      "PANEL ID: = \"LINE 3 STATION 2\"\r\n\r\n[COMMUNICATION SETTINGS]\r\n"
                      "COMPROTOCOL = 1\r\nIP ADRESS = \"127.0.0.1\"\r\nPORT NUMBER = \"" +
                      std::to_string(sensor_->TcpPort()) + "\"\r\n");
    Received();
    const CliRun rec = Run({"record", "--settings", dir_ + "/PanelSettings.cfg", "-o",
                            "run_{serial}.dat", "--count", "3", "--interval", "0.25"});
    EXPECT_EQ(0, rec.status) << rec.err;
    EXPECT_NE(std::string::npos, rec.err.find("RECORD: 3 frames recorded to run_4711.dat"));
    const std::string file = ReadBytes(dir_ + "/run_4711.dat");
    const std::string namedHeader =
        record::RecordFileHeader(shell::kProgramTitle, "LINE 3 STATION 2");
    ASSERT_EQ(namedHeader, file.substr(0, namedHeader.size()));
    const std::vector<std::string> recLines = Lines(file.substr(namedHeader.size()));
    ASSERT_EQ(3u, recLines.size());
    for (const std::string& line : recLines) {
        ExpectDataLine(line);
        EXPECT_EQ(Measured(expected), Measured(line));
    }
    EXPECT_EQ((std::vector<std::string>{"7 0 0", "8 0 0", "8 0 0", "8 0 0"}), Received());
}

TEST_F(CliAcquire, CtrlCAndAClosedTerminalEndATriggeredRecordingCleanly) {
    ASSERT_NO_FATAL_FAILURE(StartSteadySensor());
    for (const int signal : {SIGINT, SIGHUP}) {
        const int pid = StartCli(dir_, {"record", "--tcp", Tcp(), "-o", "trig.dat", "--triggered"});
        ASSERT_TRUE(AutoSend(*sensor_, true)) << signal;
        for (int i = 0; i < 3; ++i) {
            sensor_->Command("trigger");
        }
        for (int i = 0; i < 500 && Lines(ReadBytes(dir_ + "/trig.dat")).size() < 7; ++i) {
            SettleFor(0.01);
        }
        ::kill(pid, signal);
        const CliRun run = WaitCli(dir_, pid);
        EXPECT_EQ(0, run.status) << signal << run.err;
        EXPECT_NE(std::string::npos,
                  run.err.find("RECORD: 3 frames recorded to trig.dat (stopped)"))
            << run.err;
        const std::vector<std::string> lines = Lines(ReadBytes(dir_ + "/trig.dat"));
        ASSERT_EQ(7u, lines.size());
        ExpectDataLine(lines.back());
        EXPECT_NE(std::string::npos, sensor_->Command("status").find("auto-send=off"));
        const std::vector<std::string> received = Received();
        ASSERT_FALSE(received.empty());
        EXPECT_EQ("30 0 0", received.back()) << "automatic sending is stopped";
    }
}

TEST_F(CliAcquire, FailedOutputIsReportedAndABadPathCostsNoCapture) {
    ASSERT_NO_FATAL_FAILURE(StartSteadySensor());
    CliStreams full;
    full.stdoutPath = "/dev/full";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"get", "--tcp", Tcp()},
          std::vector<std::string>{"live", "--tcp", Tcp(), "-n", "3"},
          std::vector<std::string>{"ident", "--tcp", Tcp(), "--json"}}) {
        const CliRun run = Run(args, full);
        EXPECT_EQ(4, run.status) << args[0];
        EXPECT_NE(std::string::npos,
                  run.err.find("standard output could not be written: No space left on device"))
            << run.err;
    }
    // A reader that goes away (| head -1): the recording ends, the sensor
    // stops sending by itself.
    int fds[2];
    ASSERT_EQ(0, ::pipe2(fds, O_CLOEXEC));
    CliStreams piped;
    piped.stdoutFd = fds[1];
    const int pid = StartCli(dir_, {"record", "--tcp", Tcp(), "-o", "-", "--triggered"}, piped);
    ::close(fds[1]);
    ASSERT_TRUE(AutoSend(*sensor_, true));
    ::close(fds[0]);
    sensor_->Command("trigger");
    const CliRun broken = WaitCli(dir_, pid);
    EXPECT_EQ(4, broken.status) << broken.err;
    EXPECT_NE(std::string::npos, broken.err.find("Broken pipe")) << broken.err;
    EXPECT_TRUE(AutoSend(*sensor_, false));

    // Output paths are checked before anything goes to the sensor.
    Received();
    const CliRun scope =
        Run({"scope", "--tcp", Tcp(), "--trigger-mode", "rising", "-o", "nodir/trace.tsv"});
    EXPECT_EQ(4, scope.status);
    EXPECT_NE(std::string::npos, scope.err.find("-o nodir/trace.tsv: the directory nodir does "
                                                "not exist; nothing was sent to the sensor."))
        << scope.err;
    EXPECT_TRUE(Received().empty());
    const CliRun record =
        Run({"record", "--tcp", Tcp(), "-o", "nodir_{serial}/run.dat", "--triggered"});
    EXPECT_EQ(4, record.status);
    EXPECT_EQ(std::vector<std::string>{"7 0 0"}, Received()) << "only the identification";
}

TEST_F(CliAcquire, AStopSentToALinesRunEndsTheRecordingOfEverySensor) {
    ASSERT_NO_FATAL_FAILURE(StartSteadySensor());
    sim::Options o;
    o.tcpPort = 0;
    o.serialNumber = 4712;
    sim::Simulator second(o);
    std::string error;
    ASSERT_TRUE(second.Start(&error)) << error;
    testfiles::WriteBytes(dir_ + "/line.txt",
                          Tcp() + "\n127.0.0.1:" + std::to_string(second.TcpPort()) + "\n");
    // The stop goes to the tool that runs the line, not to its runs (as from
    // a line-control program rather than a terminal's Ctrl-C).
    const int pid = StartCli(
        dir_, {"record", "--targets", "line.txt", "-o", "trig_{serial}.dat", "--triggered"});
    for (int i = 0; i < 500; ++i) {
        if (sensor_->Command("status").find("auto-send=on") != std::string::npos &&
            second.Command("status").find("auto-send=on") != std::string::npos) {
            break;
        }
        SettleFor(0.01);
    }
    sensor_->Command("trigger");
    second.Command("trigger");
    for (int i = 0; i < 500 && (Lines(ReadBytes(dir_ + "/trig_4711.dat")).size() < 5 ||
                                Lines(ReadBytes(dir_ + "/trig_4712.dat")).size() < 5);
         ++i) {
        SettleFor(0.01);
    }
    ::kill(pid, SIGINT);
    const CliRun run = WaitCli(dir_, pid);
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_EQ(1u, CountLines(run.out, "2 sensors: 2 done, 0 failed")) << run.out;
    for (const char* serial : {"4711", "4712"}) {
        const std::vector<std::string> lines =
            Lines(ReadBytes(dir_ + "/trig_" + std::string(serial) + ".dat"));
        ASSERT_EQ(5u, lines.size()) << serial;
        ExpectDataLine(lines.back());
    }
    EXPECT_NE(std::string::npos, sensor_->Command("status").find("auto-send=off"));
    EXPECT_NE(std::string::npos, second.Command("status").find("auto-send=off"));
}

TEST_F(CliAcquire, HardwareInfoCycleTimeAndScopeAreTheProgramsOwn) {
    ASSERT_NO_FATAL_FAILURE(StartConnected(false, {}, SteadyScene()));
    sensor_->Command("in0 0");
    // The program's HARDWARE INFO FILE button.
    user_->Answer(platform::kExistingFileSelected, dir_ + "/program_hw.ini");
    app::P().connect.hwInfo->click();
    const std::string programHw = ReadBytes(dir_ + "/program_hw.ini");
    ASSERT_FALSE(programHw.empty());
    // The scope's single shot, captured by the program's code.
    const std::array<uint16_t, scope::kScopeSettingCount> settings = {0, scope::kSingleShot, 0, 3,
                                                                      scope::kRecordRgb};
    std::array<scope::SampleBlock, scope::kScopeBlocks> blocks{};
    scope::ScanState scan;
    ASSERT_EQ(scope::CaptureEnd::Complete,
              scope::CaptureScope(app::P().sensor.link, scan, settings, &blocks));
    app::P().sensor.link.CloseLink();

    const CliRun hw = Run({"hwinfo", "--tcp", Tcp(), "-o", "hw_{serial}.ini"});
    EXPECT_EQ(0, hw.status) << hw.err;
    EXPECT_EQ(programHw, ReadBytes(dir_ + "/hw_4711.ini"));

    const CliRun cycle = Run({"cycle-time", "--tcp", Tcp()});
    EXPECT_EQ(0, cycle.status) << cycle.err;
    EXPECT_EQ("CYCLE TIME: 0.25 ms\nSCAN FREQUENCY: 4000 Hz\n", cycle.out);

    const CliRun capture = Run({"scope", "--tcp", Tcp(), "--trigger-mode", "single", "--scan-rate",
                                "3", "-o", "capture.tsv"});
    EXPECT_EQ(0, capture.status) << capture.err;
    // The program's columns, with the time from the trigger (0.25 ms cycle
    // time x scan rate 3 per sample) and the trigger sample marked.
    const std::vector<std::string> expected = Lines(scope::CaptureTable(blocks, scope::kRecordRgb));
    const std::vector<std::string> lines = Lines(ReadBytes(dir_ + "/capture.tsv"));
    ASSERT_EQ(expected.size(), lines.size());
    EXPECT_EQ("SAMPLE\tTIME ms\tRED\tGREEN\tBLUE\tDIGITAL\tTRIGGER\r\n", lines[0]);
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string time = Decimal((static_cast<double>(i) - 1) * 0.75);
        const size_t sample = lines[i].find('\t');
        EXPECT_EQ(time, lines[i].substr(sample + 1, time.size())) << lines[i];
        std::string program = lines[i];
        program.erase(sample, time.size() + 1);
        program.erase(program.rfind('\t'), 2);
        EXPECT_EQ(expected[i], program);
        EXPECT_EQ(i == 1 ? "\t1\r\n" : "\t0\r\n", lines[i].substr(lines[i].size() - 4));
    }
}

TEST_F(CliAcquire, LiveLinesAsAScriptWantsThemAndNumbersWithAPointInAnyLocale) {
    ASSERT_NO_FATAL_FAILURE(StartSteadySensor());
    const CliRun json = Run({"live", "--tcp", Tcp(), "-n2", "--json"});
    EXPECT_EQ(0, json.status) << json.err;
    EXPECT_EQ(2u, CountLines(json.out, R"("event":"frame","extreme1":[)")) << json.out;
    EXPECT_EQ(2u, CountLines(json.out, R"(,"red":)"));
    const CliRun iso = Run({"live", "--tcp", Tcp(), "--count=2", "--lf", "--iso-time"});
    EXPECT_EQ(0, iso.status) << iso.err;
    const std::vector<std::string> lines = Lines(iso.out);
    EXPECT_EQ(2u, lines.size());
    for (const std::string& line : lines) {
        // 2026-12-08T17:57:36.250, then the eleven fields; LF only.
        EXPECT_EQ("-T::.", line.substr(4, 1) + line.substr(10, 1) + line.substr(13, 1) +
                               line.substr(16, 1) + line.substr(19, 1))
            << line;
        EXPECT_EQ(11, std::count(line.begin(), line.end(), '\t')) << line;
        EXPECT_EQ(std::string::npos, line.find('\r'));
    }

    // A locale that writes a decimal comma, made here for the run.
    const std::string locales = dir_ + "/locales";
    ::mkdir(locales.c_str(), 0755);
    if (std::system(
            ("localedef -i de_DE -f UTF-8 " + locales + "/de_DE.UTF-8 2>/dev/null").c_str()) != 0) {
        GTEST_SKIP() << "localedef cannot make de_DE.UTF-8 (the locales package)";
    }
    CliStreams german;
    german.env = {"LOCPATH=" + locales, "LC_ALL=de_DE.UTF-8"};
    const CliRun cycle = Run({"cycle-time", "--tcp", Tcp()}, german);
    EXPECT_EQ("CYCLE TIME: 0.25 ms\nSCAN FREQUENCY: 4000 Hz\n", cycle.out) << cycle.err;
    const CliRun trace =
        Run({"scope", "--tcp", Tcp(), "--trigger-mode", "single", "-o", "-"}, german);
    EXPECT_EQ(1u, CountLines(trace.out, "1\t0.2500\t")) << trace.err;
}

TEST_F(CliAcquire, CtrlCAndTimeoutCutAWaitOnASilentSensorShort) {
    ASSERT_NO_FATAL_FAILURE(StartSteadySensor());
    sensor_->Command("fault drop count=0");
    const auto start = std::chrono::steady_clock::now();
    const int pid = StartCli(dir_, {"get", "--tcp", Tcp()});
    SettleFor(0.3);
    ::kill(pid, SIGINT);
    const CliRun stopped = WaitCli(dir_, pid);
    const auto seconds = [&start] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    EXPECT_EQ(2, stopped.status);
    EXPECT_NE(std::string::npos, stopped.err.find("Stopped by a signal before the command ended"))
        << stopped.err;
    EXPECT_LT(seconds(), 2.0) << "not the 3 s wait for an answer";
    const CliRun timedOut = Run({"ident", "--tcp", Tcp(), "--timeout", "0.5"});
    EXPECT_EQ(2, timedOut.status);
    EXPECT_NE(std::string::npos,
              timedOut.err.find("The command did not end within --timeout 0.500 s."))
        << timedOut.err;
    EXPECT_LT(seconds(), 4.0);
}
