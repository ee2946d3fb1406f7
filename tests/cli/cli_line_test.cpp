// chromik3-cli on a line of simulated sensors: the targets file checked
// whole before any sensor is touched, each sensor's messages and result
// passed on as they come, and diff naming the sensor and the key that
// differ from the master file.
#include "params/parameter_file_io.h"
#include "tests/app/app_fixture.h"
#include "tests/cli/cli_run.h"
#include "tests/support/file_bytes.h"

#include <QSerialPort>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testfiles::ReadBytes;
using testfiles::WriteBytes;

namespace {

class CliLine : public AppFixture {
protected:
    CliRun Run(const std::vector<std::string>& args) { return RunCli(dir_, args); }
    static std::string Tcp(const sim::Simulator& s) {
        return "127.0.0.1:" + std::to_string(s.TcpPort());
    }
    // Sensors with the serial numbers 1001, 1002, ... on TCP, and a targets
    // file line.txt naming them.
    void StartLine(int count) {
        std::string targets;
        for (int i = 0; i < count; ++i) {
            sim::Options o;
            o.tcpPort = 0;
            o.serialNumber = static_cast<uint16_t>(1001 + i);
            line_.push_back(std::make_unique<sim::Simulator>(o));
            std::string error;
            ASSERT_TRUE(line_.back()->Start(&error)) << error;
            targets += Tcp(*line_.back()) + "\n";
        }
        WriteBytes(dir_ + "/line.txt", targets);
    }
    // A parameter file of the factory set with POWER set to `power`.
    std::string SetFile(const std::string& name, uint16_t power) {
        params::ParameterBlockBytes b = params::DefaultParameterBlock();
        b.set(params::kPower, power);
        EXPECT_EQ(0, params::WriteParameterFile(dir_ + "/" + name, b, params::TeachTableBytes()));
        return name;
    }
    // Waits until the tool's standard error or output holds `part`.
    bool Said(const std::string& file, const std::string& part) {
        for (int i = 0; i < 500; ++i) {
            if (ReadBytes(dir_ + "/" + file).find(part) != std::string::npos) {
                return true;
            }
            SettleFor(0.01);
        }
        return false;
    }

    std::vector<std::unique_ptr<sim::Simulator>> line_;
};

} // namespace

TEST_F(CliLine, ATargetsFileIsCheckedWholeBeforeAnySensorIsTouched) {
    ASSERT_NO_FATAL_FAILURE(StartLine(1));
    const std::string sensor = Tcp(*line_[0]);
    const std::string port = sensor.substr(sensor.find(':'));
    // Saved on Windows: a byte order mark and CR LF.
    WriteBytes(dir_ + "/windows.txt", "\xEF\xBB\xBF" + sensor + "\r\n");
    const CliRun windows = Run({"ident", "--targets", "windows.txt"});
    EXPECT_EQ(0, windows.status) << windows.err;
    EXPECT_EQ(1u, CountLines(windows.out, sensor + "\tserial 1001\tdone")) << windows.out;

    line_[0]->Command("received clear");
    WriteBytes(dir_ + "/twice.txt", "\xEF\xBB\xBF" + sensor + "\n# again\nlocalhost" + port + "\n");
    const CliRun twice = Run({"get", "--targets", "twice.txt", "-o", "{serial}.ini"});
    EXPECT_EQ(4, twice.status);
    EXPECT_NE(std::string::npos, twice.err.find("twice.txt:3: localhost" + port +
                                                " is the sensor of line 1 (" + sensor + ") again"))
        << twice.err;
    EXPECT_EQ("", line_[0]->Command("received")) << "nothing runs";

    WriteBytes(dir_ + "/bad.txt", sensor + "\n127.0.0.1:abc\n");
    const CliRun bad = Run({"ident", "--targets", "bad.txt"});
    EXPECT_EQ(4, bad.status);
    EXPECT_NE(std::string::npos, bad.err.find("bad.txt:2: not HOST:PORT, com:N or a device path "
                                              "(not a port number: abc)"))
        << bad.err;
    EXPECT_EQ(std::string::npos, bad.err.find("Usage:"));
}

TEST_F(CliLine, EachSensorsMessagesAndResultComeAsTheyHappen) {
    ASSERT_NO_FATAL_FAILURE(StartLine(2));
    const std::string first = Tcp(*line_[0]);
    const std::string second = Tcp(*line_[1]);
    // What a sensor's run says is passed on with its address, also when it
    // has a result: here which values the sensor replaced.
    const std::string implausible = SetFile("implausible.ini", 2000);
    const CliRun send = Run({"send", implausible, "--targets", "line.txt"});
    EXPECT_EQ(3, send.status);
    for (const std::string& sensor : {first, second}) {
        EXPECT_EQ(1u,
                  CountLines(send.err, sensor + ": 1PARAMETER IN RAM DID NOT PASS PLAUSIBILITY"))
            << send.err;
    }
    // The quick sensor's result comes while the slow one still answers.
    line_[1]->Command("fault delay-header 2500 order=2");
    const int get = StartCli(dir_, {"get", "--targets", "line.txt", "-o", "{serial}.ini"});
    EXPECT_TRUE(Said("cli.out", first + "\tserial 1001\tdone"));
    int status = 0;
    EXPECT_EQ(0, ::waitpid(get, &status, WNOHANG)) << "still waiting for the second";
    EXPECT_EQ(0, WaitCli(dir_, get).status);
    // An endless recording shows each sensor's progress while it runs.
    const int record = StartCli(dir_, {"record", "--targets", "line.txt", "-o", "run_{serial}.dat",
                                       "--endless", "--interval", "0.25", "--progress", "0.3"});
    EXPECT_TRUE(Said("cli.err", first + ": RECORD: "));
    EXPECT_TRUE(Said("cli.err", second + ": RECORD: "));
    ::kill(record, SIGINT);
    const CliRun recorded = WaitCli(dir_, record);
    EXPECT_EQ(0, recorded.status) << recorded.err;
    EXPECT_EQ(2u, CountLines(recorded.err, "frames so far")) << recorded.err;
}

TEST_F(CliLine, DiffNamesTheSensorAndTheKeyThatDifferFromTheMaster) {
    ASSERT_NO_FATAL_FAILURE(StartLine(4));
    const std::string master = SetFile("master.ini", 600);
    ASSERT_EQ(0, Run({"send", master, "--targets", "line.txt"}).status);
    ASSERT_EQ(0, Run({"send", SetFile("odd.ini", 650), "--tcp", Tcp(*line_[2])}).status);

    const CliRun table = Run({"diff", master, "--targets", "line.txt"});
    EXPECT_EQ(3, table.status) << table.err;
    EXPECT_EQ(1u, CountLines(table.out, "SENSOR")) << table.out;
    EXPECT_EQ(1u, CountLines(table.out, "PARAMETER: POWER")) << table.out;
    EXPECT_EQ(1u, CountLines(table.out, "master.ini")) << table.out;
    EXPECT_EQ(1u, CountLines(table.out, Tcp(*line_[2]) + "  1003    differs    650")) << table.out;
    EXPECT_EQ(3u, CountLines(table.out, "same       =")) << table.out;
    EXPECT_EQ(1u, CountLines(table.out, "4 sensors: 3 same, 1 differ, 0 failed"));

    const CliRun csv = Run({"diff", master, "--targets", "line.txt", "--csv"});
    EXPECT_EQ("sensor,serial,status,PARAMETER: POWER\nmaster.ini,,reference,600\n",
              csv.out.substr(0, csv.out.find(Tcp(*line_[0]))));
    EXPECT_EQ(1u, CountLines(csv.out, Tcp(*line_[2]) + ",1003,differs,650"));

    const CliRun json = Run({"diff", master, "--targets", "line.txt", "--json"});
    EXPECT_EQ(1u, CountLines(json.out, R"({"address":")" + Tcp(*line_[2]) +
                                           R"(","differences":[{"key":"PARAMETER: POWER",)"
                                           R"("reference":600,"value":650}],"event":"diff")"))
        << json.out;
    EXPECT_EQ(3u, CountLines(json.out, R"("match":true)"));
    // Two files, no sensor.
    EXPECT_EQ(0, Run({"diff", master, master}).status);
    EXPECT_EQ(3, Run({"diff", master, "odd.ini"}).status);
}

TEST_F(CliLine, FindFindsEverySensorWithItsRateAndWritesATargetsFile) {
    // Four serial sensors, each at another line rate, and three on TCP at
    // loopback addresses of their own, on one port.
    std::vector<std::string> args = {"find", "--write-targets", "found.txt"};
    const int rates[] = {9600, 38400, 230400, 921600};
    for (int i = 0; i < 4; ++i) {
        sim::Options o;
        o.tcp = false;
        o.pty = true;
        o.lineBaud = rates[i];
        o.serialNumber = static_cast<uint16_t>(101 + i);
        line_.push_back(std::make_unique<sim::Simulator>(o));
        std::string error;
        ASSERT_TRUE(line_.back()->Start(&error)) << error;
        args.insert(args.end(), {"--com", std::to_string(line_.back()->PtyComPort())});
    }
    const unsigned port = ClosedPort();
    for (int i = 0; i < 3; ++i) {
        sim::Options o;
        o.tcpAddress = "127.0.0." + std::to_string(20 + 2 * i);
        o.tcpPort = static_cast<uint16_t>(port);
        o.serialNumber = static_cast<uint16_t>(201 + i);
        line_.push_back(std::make_unique<sim::Simulator>(o));
        std::string error;
        ASSERT_TRUE(line_.back()->Start(&error)) << error;
    }
    args.insert(args.end(), {"--tcp", "127.0.0.16-31:" + std::to_string(port)});
    const CliRun found = Run(args);
    EXPECT_EQ(0, found.status) << found.err;
    for (int i = 0; i < 4; ++i) {
        const std::string line = "com:" + std::to_string(line_[i]->PtyComPort()) + "\t" +
                                 std::to_string(rates[i]) + "\tCHROMIK3 V4.3 SIMULATED SENSOR\t" +
                                 "serial " + std::to_string(101 + i) + "\tfirmware ok";
        EXPECT_EQ(1u, CountLines(found.out, line)) << found.out;
        EXPECT_EQ("7 0 0\n", line_[i]->Command("received")) << "the identification only";
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(1u,
                  CountLines(found.out, "127.0.0." + std::to_string(20 + 2 * i) + ":" +
                                            std::to_string(port) + "\t-\tCHROMIK3 V4.3 " +
                                            "SIMULATED SENSOR\tserial " + std::to_string(201 + i)))
            << found.out;
    }
    EXPECT_EQ(1u,
              CountLines(found.out, "7 sensors found; searched 4 serial ports and 16 addresses; "));
    // The targets file addresses them all, each serial port at its rate.
    const CliRun ident = Run({"ident", "--targets", "found.txt"});
    EXPECT_EQ(0, ident.status) << ident.err;
    EXPECT_EQ(1u, CountLines(ident.out, "7 sensors: 7 done, 0 failed")) << ident.out;
    EXPECT_EQ(1u, CountLines(ReadBytes(dir_ + "/found.txt"), "@9600\t# serial 101"));

    // A range larger than 256 addresses only when meant.
    const CliRun wide = Run({"find", "--com", "9998", "--tcp", "127.0.0.0/23"});
    EXPECT_EQ(1, wide.status);
    EXPECT_NE(std::string::npos, wide.err.find("510 addresses, more than 256: add --force"));
}

TEST_F(CliLine, FindTellsWhyAPortWasNotProbedAndWhatIsNoSensor) {
    sim::Options o;
    o.tcp = false;
    o.pty = true;
    for (int i = 0; i < 3; ++i) {
        line_.push_back(std::make_unique<sim::Simulator>(o));
        std::string error;
        ASSERT_TRUE(line_.back()->Start(&error)) << error;
    }
    const std::string busy = line_[0]->PtyPath();
    QSerialPort holder(QString::fromStdString(busy));
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite)) << holder.errorString().toStdString();
    // A device that answers with bytes that are no frame.
    const std::string garbage = line_[2]->PtyPath();
    line_[2]->Command("fault garbage 6 count=0");
    const CliRun found =
        Run({"find", "--device", busy, "--device", garbage, "--baud", "921600", "--json"});
    EXPECT_EQ(2, found.status) << found.err;
    EXPECT_EQ(1u, CountLines(found.out, R"("event":"unavailable")")) << found.out;
    EXPECT_EQ(1u, CountLines(found.out, busy + " is busy: another program holds it open."));
    EXPECT_EQ(1u,
              CountLines(found.out, R"({"address":")" + garbage +
                                        R"(","event":"not-sensor","message":"at 921600 Bd )"
                                        R"(answered 6 bytes that are no frame of the sensor"})"))
        << found.out;
    holder.close();

    // A port this user may not open names the group to join.
    const std::string denied = line_[1]->PtyPath();
    const bool root = ::getuid() == 0;
    ASSERT_EQ(0, ::chmod(denied.c_str(), root ? 0660 : 0));
    CliStreams asNobody;
    asNobody.asNobody = true;
    const CliRun refused = RunCli(dir_, {"find", "--device", denied}, asNobody);
    if (root && refused.status == 127) { // a build folder under /root, which nobody cannot enter
        GTEST_SKIP() << "user nobody cannot run the tool from this build folder";
    }
    EXPECT_EQ(2, refused.status) << refused.err;
    EXPECT_EQ(1u, CountLines(refused.out, denied + "\t-\tnot probed\tPermission denied on " +
                                              denied + ": the user must be in the group"))
        << refused.out;
}
