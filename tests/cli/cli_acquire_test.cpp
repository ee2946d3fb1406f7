// chromik3-cli's measurements against the simulated sensor: live lines and
// record files in the record file's format, a triggered recording ended by
// Ctrl-C, and the hardware information, cycle time and scope files compared
// with what the program's own code makes of the same sensor.
#include "calib/hw_info_file.h"
#include "link/com232.h"
#include "platform/shell_services.h"
#include "record/record_file.h"
#include "record/recorder_logic.h"
#include "scope/scope_run.h"
#include "tests/app/app_fixture.h"
#include "tests/cli/cli_run.h"
#include "tests/support/file_bytes.h"

#include <csignal>
#include <ctime>
#include <sstream>

using testfiles::ReadBytes;

namespace {

class CliAcquire : public AppFixture {
protected:
    std::string Tcp() const { return "127.0.0.1:" + std::to_string(sensor_->TcpPort()); }
    CliRun Run(const std::vector<std::string>& args) { return RunCli(dir_, args); }

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
        com232::ResetLinkState();
        com232::ComProtocol = com232::kProtocolTcp;
        com232::ServerAddress = "127.0.0.1";
        com232::ServerPort = sensor_->TcpPort();
        com232::InitTCP_IP();
        ASSERT_GE(com232::LinkResult, 0);
        com232::LinkOk = 1;
    }
    // One record-file line of a frame read by this process now.
    std::string ProgramRecordLine() {
        OpenLink();
        com232::FillTxBuf(com232::kOrderLiveData, 0, 0);
        EXPECT_EQ(1, com232::DataExchange(8));
        const live::LiveDataFrameBytes frame =
            record::FrameOfData(com232::RxData(), live::kLiveFrameSize);
        com232::CloseLink();
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

TEST_F(CliAcquire, CtrlCEndsATriggeredRecordingCleanly) {
    ASSERT_NO_FATAL_FAILURE(StartSteadySensor());
    const int pid = StartCli(dir_, {"record", "--tcp", Tcp(), "-o", "trig.dat", "--triggered"});
    // Automatic sending is on once the sensor has the order.
    std::string status;
    for (int i = 0; i < 500 && status.find("auto-send=on") == std::string::npos; ++i) {
        SettleFor(0.01);
        status = sensor_->Command("status");
    }
    ASSERT_NE(std::string::npos, status.find("auto-send=on")) << status;
    for (int i = 0; i < 3; ++i) {
        sensor_->Command("trigger");
    }
    for (int i = 0; i < 500 && Lines(ReadBytes(dir_ + "/trig.dat")).size() < 7; ++i) {
        SettleFor(0.01);
    }
    ::kill(pid, SIGINT);
    const CliRun run = WaitCli(dir_, pid);
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("RECORD: 3 frames recorded to trig.dat (stopped)"))
        << run.err;
    const std::vector<std::string> lines = Lines(ReadBytes(dir_ + "/trig.dat"));
    ASSERT_EQ(7u, lines.size());
    ExpectDataLine(lines.back());
    EXPECT_NE(std::string::npos, sensor_->Command("status").find("auto-send=off"));
    const std::vector<std::string> received = Received();
    ASSERT_FALSE(received.empty());
    EXPECT_EQ("30 0 0", received.back()) << "automatic sending is stopped";
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
    conn::GenerateHWInfoFile();
    const std::string programHw = ReadBytes(dir_ + "/program_hw.ini");
    ASSERT_FALSE(programHw.empty());
    // The scope's single shot, captured by the program's code.
    const std::array<uint16_t, scope::kScopeSettingCount> settings = {0, scope::kSingleShot, 0, 3,
                                                                      scope::kRecordRgb};
    std::array<scope::SampleBlock, scope::kScopeBlocks> blocks{};
    ASSERT_EQ(scope::CaptureEnd::Complete, scope::CaptureScope(settings, &blocks));
    com232::CloseLink();

    const CliRun hw = Run({"hwinfo", "--tcp", Tcp(), "-o", "hw_{serial}.ini"});
    EXPECT_EQ(0, hw.status) << hw.err;
    EXPECT_EQ(programHw, ReadBytes(dir_ + "/hw_4711.ini"));

    const CliRun cycle = Run({"cycle-time", "--tcp", Tcp()});
    EXPECT_EQ(0, cycle.status) << cycle.err;
    EXPECT_EQ("CYCLE TIME: 0.25 ms\nSCAN FREQUENCY: 4000 Hz\n", cycle.out);

    const CliRun capture = Run({"scope", "--tcp", Tcp(), "--trigger-mode", "single", "--scan-rate",
                                "3", "-o", "capture.tsv"});
    EXPECT_EQ(0, capture.status) << capture.err;
    EXPECT_EQ(scope::CaptureTable(blocks, scope::kRecordRgb), ReadBytes(dir_ + "/capture.tsv"));
}
