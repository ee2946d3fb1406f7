// chromik3-cli against the simulated sensor, run as a script runs it: its
// files and lines compared with the program's, the send with verification,
// files that must send nothing, a sensor that refuses, vanishes or is not
// there, and a line of four sensors.
#include "app/panels.h"
#include "params/mode_rules.h"
#include "params/parameter_file_io.h"
#include "params/parameter_model.h"
#include "params/transfer_ops.h"
#include "tests/app/app_fixture.h"
#include "tests/cli/cli_run.h"
#include "tests/support/file_bytes.h"

#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <unistd.h>

using namespace params;
using testfiles::ReadBytes;
using testfiles::WriteBytes;

namespace {

class Cli : public AppFixture {
protected:
    std::string Tcp() const { return "127.0.0.1:" + std::to_string(sensor_->TcpPort()); }
    CliRun Run(const std::vector<std::string>& args, const CliStreams& streams = {}) {
        return RunCli(dir_, args, streams);
    }

    // A set that the mode rules leave as it is and that differs from the
    // sensor's factory set in every word.
    static void DistinctiveSet(ParameterBlockBytes* b, TeachTableBytes* t) {
        *b = DefaultParameterBlock();
        b->set(kPower, 777);
        b->set(kAverage, 9);
        b->set(kHoldFail, 44);
        b->set(kIntLim, 33);
        b->set(kMaxVecNo, 7);
        b->set(kDigitalOutmode, kOutBinary);
        b->set(kTrigger, kTrigSelf);
        b->set(kCalculationMode, kSiM2D);
        b->set(kDynWinLo, 1000);
        b->set(kDynWinHi, 2000);
        b->set(kColorGroup, 1);
        b->set(kLedMode, kLedAc);
        b->set(kGain, 2);
        b->set(kIntegral, 12);
        for (int r = 0; r < kTeachRows; ++r) {
            for (int c = 0; c < 5; ++c) {
                t->set(r, static_cast<TeachField>(c), static_cast<uint16_t>(r * 10 + c));
            }
            t->set(r, kGroup, static_cast<uint16_t>(r));
            t->set(r, kHold, static_cast<uint16_t>(100 + r));
        }
    }
    // A parameter file of the distinctive set, as the program writes it.
    std::string DistinctiveFile(const std::string& name) {
        ParameterBlockBytes b;
        TeachTableBytes t;
        DistinctiveSet(&b, &t);
        const std::string path = dir_ + "/" + name;
        EXPECT_EQ(0, WriteParameterFile(path, b, t));
        return path;
    }
    // The order-1 requests the sensor received since the last look.
    size_t WritesReceived() {
        const std::vector<std::string> lines = Received();
        return static_cast<size_t>(std::count_if(
            lines.begin(), lines.end(), [](const auto& l) { return l.rfind("1 ", 0) == 0; }));
    }
};

} // namespace

TEST_F(Cli, GetIsTheProgramsParameterFileOverTcpSerialAndSettings) {
    sim::Options options;
    options.pty = true;
    ASSERT_NO_FATAL_FAILURE(StartConnected(false, options));
    // The program sends a set of its own to RAM, then writes it with SEND to FILE.
    ParameterBlockBytes b;
    TeachTableBytes t;
    DistinctiveSet(&b, &t);
    app::P().sensor.model.Replace(b, t);
    app::P().paramViews->rules.InitPanelCtrlAttr();
    app::P().main.ram->click();
    app::P().main.send->click();
    app::P().main.file->click();
    const std::string programFile = dir_ + "/program.ini";
    user_->Answer(platform::kExistingFileSelected, programFile);
    app::P().main.send->click();
    const std::string expected = ReadBytes(programFile);
    ASSERT_FALSE(expected.empty());
    app::P().sensor.link.CloseLink(); // the sensor serves one client at a time

    const CliRun file = Run({"get", "--tcp", Tcp(), "-o", "cli_{serial}.ini"});
    EXPECT_EQ(0, file.status) << file.err;
    EXPECT_EQ(expected, ReadBytes(dir_ + "/cli_4711.ini"));
    // Standard output, the connection of the program's settings file.
    const CliRun settings = Run({"get", "--settings", dir_ + "/PanelSettings.cfg"});
    EXPECT_EQ(0, settings.status) << settings.err;
    EXPECT_EQ(expected, settings.out);
    // The pseudo-terminal, by COM number and by device.
    const CliRun serial = Run({"get", "--com", std::to_string(sensor_->PtyComPort())});
    EXPECT_EQ(0, serial.status) << serial.err;
    EXPECT_EQ(expected, serial.out);
    const CliRun device = Run({"ident", "--device", sensor_->PtyPath(), "--baud", "115200"});
    EXPECT_EQ(0, device.status) << device.err;
    EXPECT_EQ("CHROMIK3 V4.3 SIMULATED SENSOR\nSERIAL NUMBER: 4711\n", device.out);
    // A device by a name of no COM range: a link to it, as /dev/serial/by-id/ holds them.
    ASSERT_EQ(0, ::symlink(sensor_->PtyPath().c_str(), (dir_ + "/usb-FTDI-port0").c_str()));
    const CliRun byLink = Run({"get", "--device=" + dir_ + "/usb-FTDI-port0"});
    EXPECT_EQ(0, byLink.status) << byLink.err;
    EXPECT_EQ(expected, byLink.out);
}

TEST_F(Cli, GetBacksUpWhatTheSensorHoldsAndAsProgramWhatTheProgramHolds) {
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    // A set the sensor takes but the program would not send: a direct output
    // mode serves five rows, not seven; a trigger beyond SELF with external teach.
    ParameterBlockBytes b;
    TeachTableBytes t;
    DistinctiveSet(&b, &t);
    b.set(kDigitalOutmode, kOutDirectHi);
    b.set(kColorGroup, 0);
    b.set(kTrigger, kTrigExt1);
    b.set(kExternTeach, 1);
    ASSERT_TRUE(WriteParaSet(app::P().sensor.link, 0, false, b, t).ok);
    app::P().main.get->click(); // the program warns and cuts MAXCOL-No.
    EXPECT_EQ(kTextMaxVecNoTooHigh, user_->LastText("INFO!"));
    app::P().main.file->click();
    const std::string programFile = dir_ + "/program.ini";
    user_->Answer(platform::kExistingFileSelected, programFile);
    app::P().main.send->click();
    app::P().sensor.link.CloseLink();

    const CliRun program = Run({"get", "--tcp", Tcp(), "--as-program"});
    EXPECT_EQ(0, program.status) << program.err;
    EXPECT_EQ(ReadBytes(programFile), program.out);
    EXPECT_NE(std::string::npos, program.err.find(std::string("INFO!\n") + kTextMaxVecNoTooHigh));
    // The backup is the sensor's set; what the program would change is said.
    const CliRun backup = Run({"get", "--tcp", Tcp(), "-o", "backup.ini", "--json"});
    EXPECT_EQ(0, backup.status) << backup.err;
    ParameterBlockBytes held;
    TeachTableBytes heldTable;
    DistinctiveSet(&held, &heldTable);
    const ParameterFileRead file = ReadParameterFile(dir_ + "/backup.ini", held, heldTable);
    EXPECT_EQ(0, std::memcmp(b.bytes, file.block.bytes, sizeof b.bytes));
    EXPECT_NE(std::string::npos, backup.err.find("PARAMETER: MAX VEC NO 7 -> 5")) << backup.err;
    EXPECT_NE(std::string::npos, backup.err.find("PARAMETER: TRIGGER 2 -> 0")) << backup.err;
    EXPECT_NE(std::string::npos,
              backup.out.find(R"({"key":"PARAMETER: MAX VEC NO","program":5,"sensor":7})"))
        << backup.out;
    // Sent back, it changes nothing.
    ASSERT_EQ(0, Run({"send", "backup.ini", "--tcp", Tcp(), "--verify"}).status);
    EXPECT_EQ(ReadBytes(dir_ + "/backup.ini"), Run({"get", "--tcp", Tcp()}).out);
}

TEST_F(Cli, SendVerifiesRamAndEepromAndReportsAsJson) {
    ASSERT_NO_FATAL_FAILURE(StartSensor());
    const std::string master = DistinctiveFile("master.ini");
    const CliRun run =
        Run({"send", master, "--tcp", Tcp(), "--eeprom", "--set", "1", "--verify", "--json"});
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_EQ(1u, CountLines(run.out, R"("event":"send")"));
    EXPECT_EQ(1u, CountLines(run.out, R"("memory":"RAM","ok":true)"));
    EXPECT_EQ(1u, CountLines(run.out, R"("memory":"EEPROM","ok":true)"));
    EXPECT_EQ(1u, CountLines(run.out, R"("event":"result","message":"","serial":4711,"status":0)"));
    // Identification, the set read first, the two writes of set 1, the store,
    // then RAM and the EEPROM read back.
    const std::vector<std::string> expected = {"7 0 0",   "2 1 0", "2 3 0", "1 1 34",
                                               "1 3 496", "3 0 0", "2 1 0", "2 3 0",
                                               "4 0 0",   "2 1 0", "2 3 0"};
    EXPECT_EQ(expected, Received());
    // What went in is what comes out again.
    const CliRun get = Run({"get", "--tcp", Tcp(), "--eeprom", "--set", "1"});
    EXPECT_EQ(ReadBytes(master), get.out);
    // A backup that cannot be written says so.
    Received();
    const CliRun unwritable = Run({"get", "--tcp", Tcp(), "-o", "no/such/dir/backup.ini"});
    EXPECT_EQ(4, unwritable.status);
    EXPECT_NE(std::string::npos, unwritable.err.find("the directory no/such/dir does not exist"))
        << unwritable.err;
    EXPECT_TRUE(Received().empty()) << "checked before the sensor is reached";
}

TEST_F(Cli, GetFromTheEepromSaysTheWorkingSetIsReplacedOrKeepsIt) {
    ASSERT_NO_FATAL_FAILURE(StartSensor());
    // RAM set 0 differs from the EEPROM, which keeps the factory set.
    const std::string ram = ReadBytes(DistinctiveFile("ram.ini"));
    ASSERT_EQ(0, Run({"send", "ram.ini", "--tcp", Tcp()}).status);
    Received();
    const CliRun kept =
        Run({"get", "--tcp", Tcp(), "--eeprom", "--keep-ram", "-o", "eeprom.ini", "--json"});
    EXPECT_EQ(0, kept.status) << kept.err;
    EXPECT_EQ(1u, CountLines(kept.out, R"("ramSetsReplaced":[0],"serial":4711,"set":0,)"
                                       R"("warnings":[],"workingSetReplaced":false})"))
        << kept.out;
    // Both RAM sets, the EEPROM loaded and read, set 0 sent back and verified.
    EXPECT_EQ((std::vector<std::string>{"7 0 0", "2 0 0", "2 2 0", "2 1 0", "2 3 0", "4 0 0",
                                        "2 0 0", "2 2 0", "2 1 0", "2 3 0", "1 0 34", "1 2 496",
                                        "2 0 0", "2 2 0"}),
              Received());
    EXPECT_EQ(ram, Run({"get", "--tcp", Tcp()}).out);
    const std::string eeprom = ReadBytes(dir_ + "/eeprom.ini");
    EXPECT_NE(ram, eeprom);

    const CliRun replaced = Run({"get", "--tcp", Tcp(), "--eeprom"});
    EXPECT_EQ(0, replaced.status) << replaced.err;
    EXPECT_EQ(eeprom, replaced.out);
    EXPECT_NE(std::string::npos,
              replaced.err.find("The sensor's working set is now the EEPROM set: RAM set 0 held "
                                "other values, which are gone"))
        << replaced.err;
    EXPECT_EQ(eeprom, Run({"get", "--tcp", Tcp()}).out);
    EXPECT_EQ(std::string::npos, Run({"get", "--tcp", Tcp(), "--eeprom"}).err.find("working set"));
    EXPECT_NE(std::string::npos, Run({"help", "get"}).out.find("BECOMES THE"));
}

TEST_F(Cli, FilesThatAreNotWholeSendNothing) {
    ASSERT_NO_FATAL_FAILURE(StartSensor());
    const std::string whole = ReadBytes(DistinctiveFile("whole.ini"));
    std::string noIntlim = whole;
    noIntlim.erase(noIntlim.find("INTLIM"),
                   noIntlim.find('\n', noIntlim.find("INTLIM")) + 1 - noIntlim.find("INTLIM"));
    WriteBytes(dir_ + "/missing.ini", noIntlim);
    std::string big = whole;
    big.replace(big.find("POWER = 777"), 11, "POWER = 70000");
    WriteBytes(dir_ + "/range.ini", big);
    WriteBytes(dir_ + "/truncated.ini", whole.substr(0, whole.size() / 2));
    WriteBytes(dir_ + "/binary.ini", std::string("\x7f"
                                                 "ELF\0\0\x01\x02\xff\xfe",
                                                 10));
    std::string twice = whole;
    twice.insert(twice.find("[TEACH VECTOR 0]"), "GAIN = 3\r\n");
    WriteBytes(dir_ + "/twice.ini", twice);
    Received();

    struct Case {
        const char* file;
        const char* says;
    } cases[] = {{"missing.ini", "INTLIM"},
                 {"range.ini", "PARAMETER: POWER"},
                 {"truncated.ini", "TEACH VECTOR 30"},
                 {"binary.ini", "is not a parameter file"},
                 {"absent.ini", "cannot be opened"},
                 {"twice.ini", "given more than once (which value is meant?):\n\nPARAMETER: GAIN"}};
    for (const Case& c : cases) {
        const CliRun run = Run({"send", c.file, "--tcp", Tcp(), "--verify"});
        EXPECT_EQ(4, run.status) << c.file << run.err;
        EXPECT_NE(std::string::npos, run.err.find(c.says)) << c.file << run.err;
        EXPECT_EQ(0u, WritesReceived()) << c.file << ": nothing may be sent";
    }
    // Sent on purpose with the program's defaults: INTLIM 0.
    const CliRun allowed =
        Run({"send", "missing.ini", "--tcp", Tcp(), "--verify", "--allow-defaults"});
    EXPECT_EQ(0, allowed.status) << allowed.err;
    EXPECT_EQ(2u, WritesReceived());
    const CliRun get = Run({"get", "--tcp", Tcp()});
    EXPECT_EQ(1u, CountLines(get.out, "INTLIM = 0"));
    // A key given twice has no default that would be right.
    EXPECT_EQ(4, Run({"send", "twice.ini", "--tcp", Tcp(), "--allow-defaults"}).status);
    EXPECT_EQ(0u, WritesReceived());
    // The file from standard input, the backup to standard output.
    CliStreams in;
    in.stdinPath = dir_ + "/whole.ini";
    const CliRun piped = Run({"send", "-", "--tcp", Tcp(), "--verify"}, in);
    EXPECT_EQ(0, piped.status) << piped.err;
    const CliRun out = Run({"get", "--tcp", Tcp(), "-o", "-"});
    EXPECT_EQ(whole, out.out);
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/-"));
}

TEST_F(Cli, RejectedValuesFailVerificationAndAVanishingSensorIsNamed) {
    ASSERT_NO_FATAL_FAILURE(StartSensor());
    std::string text = ReadBytes(DistinctiveFile("set.ini"));
    text.replace(text.find("POWER = 777"), 11, "POWER = 2000"); // above the sensor's range
    WriteBytes(dir_ + "/implausible.ini", text);
    const CliRun rejected = Run({"send", "implausible.ini", "--tcp", Tcp(), "--verify", "--json"});
    EXPECT_EQ(3, rejected.status);
    EXPECT_NE(
        std::string::npos,
        rejected.out.find(R"("differences":[{"key":"PARAMETER: POWER","read":500,"sent":2000}])"))
        << rejected.out;
    EXPECT_NE(std::string::npos,
              rejected.err.find("INFO!\n1PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND "
                                "WERE SET TO DEFAULT VALUE!"))
        << rejected.err;
    EXPECT_NE(std::string::npos, rejected.err.find("PARAMETER: POWER 2000 -> 500")) << rejected.err;

    // The connection closes instead of answering the teach table.
    sensor_->Command("fault close order=1 skip=1");
    const CliRun vanished = Run({"send", "set.ini", "--tcp", Tcp(), "--eeprom"});
    EXPECT_EQ(2, vanished.status);
    EXPECT_NE(std::string::npos, vanished.err.find("the teach table may not have arrived"))
        << vanished.err;
}

TEST_F(Cli, RefusesOtherFirmwareUnreachableSensorsAndBadUsage) {
    sim::Options old;
    old.firmwareId = "CHROMIK3 V4.2.1  OLD SENSOR";
    ASSERT_NO_FATAL_FAILURE(StartSensor(old));
    const CliRun refused = Run({"ident", "--tcp", Tcp(), "--json"});
    EXPECT_EQ(3, refused.status);
    EXPECT_EQ(1u, CountLines(refused.out, R"("address":")" + Tcp() + R"(","event":"result")"));
    EXPECT_EQ(1u, CountLines(refused.out, R"("serial":4711,"status":3)")) << refused.out;
    EXPECT_NE(std::string::npos,
              refused.err.find("Sensor firmware and scope version do not match! \nFirmware of "
                               "connected sensor is: CHROMIK3 V4.2\nThe serial number is: 4711"))
        << refused.err;

    const CliRun unreachable = Run({"get", "--tcp", "127.0.0.1:" + std::to_string(ClosedPort())});
    EXPECT_EQ(2, unreachable.status);
    EXPECT_NE(std::string::npos,
              unreachable.err.find("Could not establish connection! UnableToEstablishConnection"));

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"ident", "--tcp", Tcp(), "--bogus"},
          std::vector<std::string>{"frobnicate", "--tcp", Tcp()}, std::vector<std::string>{"ident"},
          std::vector<std::string>{"send", "--tcp", Tcp()},
          std::vector<std::string>{"ident", "--tcp", Tcp(), "--com", "3"},
          std::vector<std::string>{"ident", "--com", "3", "--baud", "12345"},
          std::vector<std::string>{"get", "--targets", "line.txt", "-o", "all.ini"},
          std::vector<std::string>{"ident", "--tcp", Tcp(), "--eeprom", "-n", "4"},
          std::vector<std::string>{"ident", "--tcp", Tcp(), "-o", "ident.txt"},
          std::vector<std::string>{"get", "--tcp", Tcp(), "--keep-ram"}}) {
        const CliRun run = Run(args);
        EXPECT_EQ(1, run.status) << args[0] << " " << args.back();
        EXPECT_NE(std::string::npos, run.err.find("Usage: chromik3-cli")) << run.err;
    }
    EXPECT_NE(std::string::npos, Run({"ident", "--tcp", Tcp(), "--eeprom"})
                                     .err.find("option --eeprom does not apply to ident"));
    const CliRun json = Run({"ident", "--json", "--tcp", Tcp(), "--bogus"});
    EXPECT_EQ(R"({"address":"","event":"result","message":"unknown option --bogus","status":1})"
              "\n",
              json.out);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"send", "--help"}, std::vector<std::string>{"help", "send"}}) {
        const CliRun help = Run(args);
        EXPECT_EQ(0, help.status);
        EXPECT_NE(std::string::npos, help.out.find("--allow-defaults"));
    }
}

TEST_F(Cli, TargetsRunEverySensorOfALineAndFailWhenOneFails) {
    // Two sensors on TCP, one on a serial line, one switched off.
    std::vector<std::unique_ptr<sim::Simulator>> line;
    std::vector<std::string> names;
    std::string targets = "# packing line 3\n";
    for (uint16_t serial : {1001, 1002, 1003}) {
        sim::Options o;
        o.tcpPort = 0;
        o.serialNumber = serial;
        o.pty = serial == 1003;
        o.tcp = !o.pty;
        line.push_back(std::make_unique<sim::Simulator>(o));
        std::string error;
        ASSERT_TRUE(line.back()->Start(&error)) << error;
        names.push_back(o.pty ? "com:" + std::to_string(line.back()->PtyComPort())
                              : "127.0.0.1:" + std::to_string(line.back()->TcpPort()));
        targets += names.back() + "   # station\n";
    }
    const std::string off = "127.0.0.1:" + std::to_string(ClosedPort());
    targets += "\n" + off + "\n";
    WriteBytes(dir_ + "/line.txt", targets);

    const CliRun backup =
        Run({"get", "--targets", "line.txt", "-o", "backup_{serial}_{address}.ini"});
    EXPECT_EQ(2, backup.status) << backup.err;
    for (size_t i = 0; i < names.size(); ++i) {
        std::string safe = names[i];
        std::replace(safe.begin(), safe.end(), ':', '_');
        EXPECT_FALSE(
            ReadBytes(dir_ + "/backup_" + std::to_string(1001 + i) + "_" + safe + ".ini").empty())
            << safe;
        EXPECT_EQ(1u, CountLines(backup.out,
                                 names[i] + "\tserial " + std::to_string(1001 + i) + "\tdone"))
            << backup.out;
    }
    EXPECT_EQ(
        1u,
        CountLines(
            backup.out,
            off + "\t-\tfailed (2)\tCould not establish connection! UnableToEstablishConnection"));
    EXPECT_EQ(1u, CountLines(backup.out, "4 sensors: 3 done, 1 failed"));

    const std::string master = DistinctiveFile("master.ini");
    const CliRun send = Run({"send", master, "--targets", "line.txt", "--verify", "--json"});
    EXPECT_EQ(2, send.status);
    EXPECT_EQ(3u, CountLines(send.out, R"("memory":"RAM","ok":true)"));
    EXPECT_EQ(1u, CountLines(send.out, R"("done":3,"event":"summary","failed":1,"sensors":4)"))
        << send.out;
}
