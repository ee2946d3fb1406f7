#include "cli/commands.h"

#include "cli/acquire.h"
#include "cli/report.h"
#include "cli/sensor_link.h"
#include "inifile/ini_store.h"
#include "link/com232.h"
#include "params/mode_corrections.h"
#include "params/parameter_file_io.h"
#include "params/parameter_layout.h"
#include "params/transfer_ops.h"

#include <QJsonArray>

#include <cstdio>

namespace cli {
namespace {

using params::ParameterBlockBytes;
using params::TeachTableBytes;

// The sensor being worked on, for the result line.
struct Sensor {
    Address address;
    unsigned serial = 0;
};

int Finish(const Sensor& s, int status, const std::string& message) {
    EmitResult(s.address.name, s.serial, status, message);
    return status;
}

// Why a transfer stopped: the link's message and what may not have arrived.
std::string TransferFailureText(const params::TransferResult& r, bool toEeprom) {
    std::string text =
        com232::StatusText + "\nThe link failed at " + params::TransferStepName(r.failedAt) + ".";
    if (r.failedAt == params::TransferStep::Block) {
        text += " Nothing was sent.";
    } else if (r.failedAt == params::TransferStep::Table) {
        text += " The parameter block was sent; the teach table may not have arrived";
        text += toEeprom ? " and nothing was stored in the EEPROM." : ".";
    } else if (r.failedAt == params::TransferStep::EepromStore) {
        text += " The set is in RAM; it may not have been stored in the EEPROM.";
    }
    return text;
}

// Names of the words in which two sets differ.
std::vector<std::string> DifferingWords(const ParameterBlockBytes& a, const TeachTableBytes& at,
                                        const ParameterBlockBytes& b, const TeachTableBytes& bt) {
    static const char* kRowKeys[] = {"CELL 0", "CELL 1", "CELL 2", "CELL 3",
                                     "CELL 4", "GROUP",  "HOLD",   "reserved"};
    std::vector<std::string> words;
    for (int f = 0; f < params::kParaFieldCount; ++f) {
        const auto field = static_cast<params::ParaField>(f);
        if (a.get(field) != b.get(field)) {
            words.push_back(std::string("PARAMETER: ") + params::kParaFieldInfo[f].fileKey + " " +
                            std::to_string(a.get(field)) + " -> " + std::to_string(b.get(field)));
        }
    }
    for (int r = 0; r < params::kTeachRows; ++r) {
        for (int f = 0; f < params::kTeachFieldCount; ++f) {
            const auto field = static_cast<params::TeachField>(f);
            if (at.get(r, field) != bt.get(r, field)) {
                words.push_back("TEACH VECTOR " + std::to_string(r) + ": " + kRowKeys[f] + " " +
                                std::to_string(at.get(r, field)) + " -> " +
                                std::to_string(bt.get(r, field)));
            }
        }
    }
    return words;
}

// What is wrong with a parameter file for sending; empty when nothing is.
std::string FileProblems(const std::string& path, const params::ParameterFileRead& f) {
    if (f.readResult == ini::kIniErrOpen) {
        return path + ": the file cannot be opened.";
    }
    if (f.readResult < 0) {
        return path + ": the file cannot be read.";
    }
    if (!f.isParameterFile) {
        return path + ": Selected file is not a parameter file!";
    }
    std::string text;
    if (!f.versionMatches) {
        text += "Selected file and scope version do not match!\n";
    }
    text += f.paraReport + f.teachReport;
    if (!f.outOfRange.empty()) {
        text += "Following values are not 16-bit values and would be cut:\n\n";
        for (const std::string& key : f.outOfRange) {
            text += key + "\n";
        }
    }
    return text.empty() ? text : path + ":\n" + text;
}

int Ident(const Sensor& s, const com232::SensorIdentity& id) {
    Say(id.parts.Display() + "\nSERIAL NUMBER: " + std::to_string(id.serialNumber));
    EmitJson("ident", {{"address", Q(s.address.name)},
                       {"id", Q(com232::SensorIdText)},
                       {"display", Q(id.parts.Display())},
                       {"firmware", Q(id.parts.Version())},
                       {"serial", static_cast<int>(id.serialNumber)}});
    return Finish(s, kExitDone, {});
}

int Get(const Options& o, const Sensor& s) {
    ParameterBlockBytes block;
    TeachTableBytes table;
    if (!ReadSetAsTheProgram(static_cast<uint16_t>(o.set), o.eeprom, &block, &table)) {
        return Finish(s, kExitLink, com232::StatusText);
    }
    if (o.output.empty()) {
        std::string text;
        const int rc = params::ParameterFileText(block, table, &text);
        if (rc < 0) {
            return Finish(s, kExitFile, params::IniWriteFailureReason(rc));
        }
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
        return Finish(s, kExitDone, {});
    }
    const std::string path = ExpandOutputName(o.output, s.address.name, s.serial);
    const int rc = params::WriteParameterFile(path, block, table);
    if (rc < 0) {
        return Finish(s, kExitFile, params::FileWriteFailureText("The parameter file", path, rc));
    }
    Say("parameter set " + std::to_string(o.set) + " written to " + path);
    EmitJson("get", {{"address", Q(s.address.name)}, {"file", Q(path)}});
    return Finish(s, kExitDone, {});
}

// Reads the set back and compares it with what was sent.
bool VerifyFrom(const Options& o, const Sensor& s, bool eeprom, const ParameterBlockBytes& block,
                const TeachTableBytes& table, std::string* message, int* status) {
    ParameterBlockBytes back;
    TeachTableBytes backTable;
    const params::TransferResult r =
        params::ReadParaSet(static_cast<uint16_t>(o.set), eeprom, &back, &backTable);
    if (!r.reports.empty()) {
        Warn(r.reports);
    }
    if (!r.ok) {
        *status = kExitLink;
        *message = com232::StatusText + "\nThe set could not be read back.";
        return false;
    }
    const std::vector<std::string> words = DifferingWords(block, table, back, backTable);
    const char* where = eeprom ? "EEPROM" : "RAM";
    QJsonArray differences;
    for (const std::string& w : words) {
        differences.append(Q(w));
    }
    EmitJson("verify", {{"address", Q(s.address.name)},
                        {"memory", where},
                        {"ok", words.empty()},
                        {"differences", differences}});
    if (words.empty()) {
        Say(std::string("verified: the set in ") + where + " is the set sent");
        return true;
    }
    *status = kExitRefused;
    *message = std::string("Verification failed: the set in ") + where + " differs in " +
               std::to_string(words.size()) + (words.size() == 1 ? " word" : " words") +
               " (sent -> read back):";
    for (const std::string& w : words) {
        *message += "\n  " + w;
    }
    return false;
}

// Sends the set read from the file (checked before the sensor was touched).
int Send(const Options& o, const Sensor& s, params::ParameterFileRead file) {
    // The rows' reserved words are never in the file: they stay as the
    // sensor holds them, as after the program's connection test.
    ParameterBlockBytes current;
    TeachTableBytes currentTable;
    const uint16_t set = static_cast<uint16_t>(o.set);
    if (!params::ReadParaSet(set, false, &current, &currentTable).ok) {
        return Finish(s, kExitLink, com232::StatusText + "\nNothing was sent.");
    }
    for (int row = 0; row < params::kTeachRows; ++row) {
        file.table.set(row, params::kReserved, currentTable.get(row, params::kReserved));
    }
    const params::TransferResult r = params::WriteParaSet(set, o.eeprom, file.block, file.table);
    if (!r.reports.empty()) {
        Warn(r.reports);
    }
    EmitJson("send", {{"address", Q(s.address.name)},
                      {"file", Q(o.file)},
                      {"set", o.set},
                      {"eeprom", o.eeprom},
                      {"ok", r.ok},
                      {"blockPlausibility", r.blockPlausibility},
                      {"tablePlausibility", r.tablePlausibility}});
    if (!r.ok) {
        return Finish(s, kExitLink, TransferFailureText(r, o.eeprom));
    }
    Say("sent " + o.file + " to parameter set " + std::to_string(o.set) +
        (o.eeprom ? " (RAM and EEPROM)" : " (RAM)"));
    std::string message;
    int status = kExitDone;
    if (o.verify &&
        (!VerifyFrom(o, s, false, file.block, file.table, &message, &status) ||
         (o.eeprom && !VerifyFrom(o, s, true, file.block, file.table, &message, &status)))) {
        return Finish(s, status, message);
    }
    if (r.blockPlausibility != 0 || r.tablePlausibility != 0) {
        return Finish(s, kExitRefused,
                      "The sensor replaced values that failed its plausibility check.");
    }
    return Finish(s, kExitDone, {});
}

} // namespace

bool ReadSetAsTheProgram(uint16_t set, bool eeprom, ParameterBlockBytes* block,
                         TeachTableBytes* table) {
    const params::TransferResult r = params::ReadParaSet(set, eeprom, block, table);
    if (!r.reports.empty()) {
        Warn(r.reports);
    }
    if (!r.ok) {
        return false;
    }
    params::ParameterModel model;
    model.Replace(*block, *table);
    for (const std::string& warning : params::ApplyModeRules(model)) {
        Warn("INFO!\n" + warning);
    }
    *block = model.Block();
    *table = model.Table();
    return true;
}

int RunSensorCommand(const Options& o) {
    Sensor s;
    std::string error;
    const int addressStatus = AddressFromOptions(o, &s.address, &error);
    if (addressStatus == kExitUsage) {
        Warn("chromik3-cli: " + error + "\n\n" + HelpText(o.command));
    } else if (addressStatus != kExitDone) {
        Warn("chromik3-cli: " + error);
    }
    if (addressStatus != kExitDone) {
        return addressStatus;
    }
    params::ParameterFileRead file;
    if (o.command == "send") {
        // The file is checked before the sensor is touched: a bad file sends nothing.
        file =
            params::ReadParameterFile(o.file, params::DefaultParameterBlock(), TeachTableBytes());
        const std::string problems = FileProblems(o.file, file);
        const bool fatal = file.readResult < 0 || !file.isParameterFile;
        if (!problems.empty() && (fatal || !o.allowDefaults)) {
            return Finish(s, kExitFile,
                          problems + (fatal ? ""
                                            : "\nNothing was sent (--allow-defaults sends "
                                              "it with the defaults)."));
        }
        if (!problems.empty()) {
            Warn(problems);
        }
    }
    InstallStopSignals();
    const Connection c = Connect(s.address);
    if (c.status != kExitDone) {
        Disconnect();
        return Finish(s, c.status, c.message);
    }
    s.serial = c.identity.serialNumber;
    int status = kExitUsage;
    if (o.command == "ident") {
        status = Ident(s, c.identity);
    } else if (o.command == "get") {
        status = Get(o, s);
    } else if (o.command == "send") {
        status = Send(o, s, file);
    } else {
        const std::string path = ExpandOutputName(o.output, s.address.name, s.serial);
        Outcome r;
        if (o.command == "live") {
            r = Live(o, s.address.panelId);
        } else if (o.command == "record") {
            r = Record(o, path, s.address.panelId);
        } else if (o.command == "cycle-time") {
            r = CycleTime(s.address.name);
        } else if (o.command == "hwinfo") {
            r = HardwareInfo(o, path);
        } else if (o.command == "scope") {
            r = Scope(o, path);
        }
        status = Finish(s, r.status, r.message);
    }
    Disconnect();
    return status;
}

} // namespace cli
