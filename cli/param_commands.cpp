// get and send: the parameter set between the sensor and a parameter file.
#include "cli/command_parts.h"
#include "cli/outputs.h"
#include "cli/report.h"
#include "cli/sensor_sets.h"
#include "inifile/ini_store.h"
#include "link/com232.h"
#include "params/transfer_ops.h"
#include "sensor/set_verify.h"

#include <QJsonArray>

namespace cli {
namespace {

using params::ParameterBlockBytes;
using params::TeachTableBytes;

std::string KeyList(const std::string& heading, const std::vector<std::string>& keys) {
    std::string text = heading;
    for (const std::string& key : keys) {
        text += key + "\n";
    }
    return text;
}

// Reads the set back and compares it with what was sent.
Outcome VerifyFrom(Job& j, bool eeprom, const SetWords& sent) {
    const sensor::Verification v =
        sensor::VerifySet(j.Link(), static_cast<uint16_t>(j.o.set), eeprom, sent);
    if (!v.reports.empty()) {
        j.report.Warn(v.reports);
    }
    if (!v.read) {
        return {kExitLink, sensor::VerificationFailureText(v)};
    }
    j.report.EmitJson("verify", {{"memory", v.memory},
                                 {"ok", v.Ok()},
                                 {"differences", DifferencesJson(v.differences, "sent", "read")}});
    if (v.Ok()) {
        j.report.Say(std::string("verified: the set in ") + v.memory + " is the set sent");
        return {};
    }
    return {kExitRefused, sensor::VerificationFailureText(v)};
}

QJsonArray Strings(const std::vector<std::string>& texts) {
    QJsonArray array;
    for (const std::string& t : texts) {
        array.append(Q(t));
    }
    return array;
}

std::string SetNumbers(const std::vector<int>& sets) {
    std::string text = sets.size() == 1 ? "set " : "sets ";
    for (size_t i = 0; i < sets.size(); ++i) {
        text += (i == 0 ? "" : " and ") + std::to_string(sets[i]);
    }
    return text;
}

} // namespace

int ReadParameterInput(const Options& o, const std::string& path, bool allowDefaults,
                       ParameterInput* input, std::string* problems, std::string* warnings) {
    const bool fromStdin = IsStdStream(path);
    input->name = fromStdin ? "standard input" : path;
    input->read =
        fromStdin
            ? params::ReadParameterFileText(o.stdinText, params::DefaultParameterBlock(),
                                            TeachTableBytes())
            : params::ReadParameterFile(path, params::DefaultParameterBlock(), TeachTableBytes());
    const params::ParameterFileRead& f = input->read;
    if (f.readResult == ini::kIniErrOpen) {
        *problems = input->name + ": the file cannot be opened.";
        return kExitFile;
    }
    if (f.readResult < 0) {
        *problems = input->name + ": the file cannot be read.";
        return kExitFile;
    }
    if (!f.isParameterFile) {
        *problems = input->name + ": Selected file is not a parameter file!";
        return kExitFile;
    }
    std::string text;
    if (!f.givenTwice.empty()) {
        text += KeyList("Following keys are given more than once (which value is meant?):\n\n",
                        f.givenTwice);
    }
    std::string lacks;
    if (!f.versionMatches) {
        lacks += "Selected file and scope version do not match!\n";
    }
    lacks += f.paraReport + f.teachReport;
    if (!f.outOfRange.empty()) {
        lacks +=
            KeyList("Following values are not 16-bit values and would be cut:\n\n", f.outOfRange);
    }
    if (allowDefaults && text.empty()) {
        if (!lacks.empty()) {
            *warnings += input->name + ":\n" + lacks;
        }
        return kExitDone;
    }
    text += lacks;
    if (text.empty()) {
        return kExitDone;
    }
    *problems = input->name + ":\n" + text;
    return kExitFile;
}

Outcome Get(Job& j, const std::string& path) {
    const Options& o = j.o;
    const SensorSetRead r = ReadSensorSet(j);
    if (r.status != kExitDone) {
        return {r.status, r.message};
    }
    std::vector<std::string> ruleWarnings;
    const SetWords program = AsTheProgramHoldsIt(r.words, &ruleWarnings);
    const std::vector<Difference> corrections = CompareSets(r.words, program);
    std::vector<std::string> warnings;
    if (!corrections.empty()) {
        warnings.push_back(std::string(o.asProgram ? "Written as the program holds the set, "
                                                     "corrected by its mode rules:"
                                                   : "The program would correct this set on "
                                                     "reading it (--as-program writes it so):") +
                           DifferencesText(corrections));
    }
    for (const std::string& w : ruleWarnings) {
        warnings.push_back("INFO!\n" + w);
    }
    if (r.ramLost) {
        warnings.push_back("The sensor's working set is now the EEPROM set: RAM " +
                           SetNumbers(r.ramSetsReplaced) +
                           " held other values, which are gone (--keep-ram keeps them).");
    }
    for (const std::string& w : warnings) {
        j.report.Warn(w);
    }
    const SetWords& out = o.asProgram ? program : r.words;
    const bool toStdout = path.empty() || IsStdStream(path);
    if (toStdout) {
        std::string text;
        const int rc = params::ParameterFileText(out.block, out.table, &text);
        if (rc < 0) {
            return {kExitFile, params::IniWriteFailureReason(rc)};
        }
        return j.report.WriteOut(text) ? Outcome{} : Outcome{kExitFile, OutputFailure()};
    }
    const int rc = params::WriteParameterFile(path, out.block, out.table);
    if (rc < 0) {
        return {kExitFile, params::FileWriteFailureText("The parameter file", path, rc)};
    }
    j.report.Say("parameter set " + std::to_string(o.set) + " written to " + path);
    QJsonArray replaced;
    for (int s : r.ramSetsReplaced) {
        replaced.append(s);
    }
    j.report.EmitJson("get", {{"file", Q(path)},
                              {"set", o.set},
                              {"eeprom", o.eeprom},
                              {"asProgram", o.asProgram},
                              {"corrections", DifferencesJson(corrections, "sensor", "program")},
                              {"warnings", Strings(warnings)},
                              {"ramSetsReplaced", replaced},
                              {"workingSetReplaced", r.ramLost}});
    return {};
}

Outcome Send(Job& j, const ParameterInput& input) {
    const Options& o = j.o;
    // The rows' reserved words are never in the file: they stay as the
    // sensor holds them, as after the program's connection test.
    SetWords current;
    const auto set = static_cast<uint16_t>(o.set);
    const params::TransferResult read =
        params::ReadParaSet(j.Link(), set, false, &current.block, &current.table);
    if (!read.ok) {
        return {kExitLink, read.message + "\nNothing was sent."};
    }
    SetWords file{input.read.block, input.read.table};
    sensor::KeepReservedWords(&file, current);
    const params::TransferResult r =
        params::WriteParaSet(j.Link(), set, o.eeprom, file.block, file.table);
    if (!r.reports.empty()) {
        j.report.Warn(r.reports);
    }
    j.report.EmitJson("send", {{"file", Q(input.name)},
                               {"set", o.set},
                               {"eeprom", o.eeprom},
                               {"ok", r.ok},
                               {"blockPlausibility", r.blockPlausibility},
                               {"tablePlausibility", r.tablePlausibility}});
    if (!r.ok) {
        return {kExitLink, params::TransferFailureText(r, o.eeprom)};
    }
    j.report.Say("sent " + input.name + " to parameter set " + std::to_string(o.set) +
                 (o.eeprom ? " (RAM and EEPROM)" : " (RAM)"));
    if (o.verify) {
        Outcome v = VerifyFrom(j, false, file);
        if (v.status == kExitDone && o.eeprom) {
            v = VerifyFrom(j, true, file);
        }
        if (v.status != kExitDone) {
            return v;
        }
    }
    if (r.blockPlausibility != 0 || r.tablePlausibility != 0) {
        return {kExitRefused, "The sensor replaced values that failed its plausibility check."};
    }
    return {};
}

} // namespace cli
