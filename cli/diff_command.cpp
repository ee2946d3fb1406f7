// diff: a sensor's set (or a second file) against a reference parameter
// file. Each sensor reports its differences as a "diff" line; a line of
// sensors is gathered into one table by cli/targets.cpp.
#include "cli/command_parts.h"
#include "cli/diff_table.h"
#include "cli/report.h"
#include "cli/sensor_sets.h"

namespace cli {
namespace {

Outcome Report(const Options& o, const ParameterInput& reference, const DiffRow& row) {
    EmitJson("diff", {{"reference", Q(reference.name)},
                      {"match", row.differences.empty()},
                      {"differences", DifferencesJson(row.differences, "reference", "value")}});
    if (!JsonOutput() && !WriteOut(DiffTable(reference.name, {row}, o.csv))) {
        return {kExitFile, OutputFailure()};
    }
    if (row.differences.empty()) {
        return {};
    }
    return {kExitRefused, row.name + " differs from " + reference.name + " in " +
                              std::to_string(row.differences.size()) +
                              (row.differences.size() == 1 ? " word" : " words")};
}

SetWords WordsOf(const ParameterInput& file) {
    return {file.read.block, file.read.table};
}

} // namespace

Outcome DiffWithSensor(const Options& o, const Sensor& s, const ParameterInput& reference) {
    const SensorSetRead r = ReadSensorSet(o);
    if (r.status != kExitDone) {
        return {r.status, r.message};
    }
    if (r.ramLost) {
        Warn("The sensor's working set is now the EEPROM set: its RAM held other values, which "
             "are gone (--keep-ram keeps them).");
    }
    DiffRow row;
    row.name = s.address.name;
    row.serial = s.serial;
    row.differences = CompareSets(WordsOf(reference), r.words);
    row.status = row.differences.empty() ? kExitDone : kExitRefused;
    return Report(o, reference, row);
}

Outcome DiffFiles(const Options& o, const ParameterInput& reference, const ParameterInput& other) {
    DiffRow row;
    row.name = other.name;
    row.differences = CompareSets(WordsOf(reference), WordsOf(other));
    row.status = row.differences.empty() ? kExitDone : kExitRefused;
    return Report(o, reference, row);
}

} // namespace cli
