// diff: a sensor's set (or a second file) against a reference parameter
// file. Each sensor reports its differences as a "diff" line; a line of
// sensors is gathered into one table by cli/targets.cpp.
#include "cli/command_parts.h"
#include "cli/diff_table.h"
#include "cli/report.h"
#include "cli/sensor_sets.h"

namespace cli {
namespace {

Outcome Report(Job& j, const ParameterInput& reference, const DiffRow& row) {
    j.report.EmitJson("diff",
                      {{"reference", Q(reference.name)},
                       {"match", row.differences.empty()},
                       {"differences", DifferencesJson(row.differences, "reference", "value")}});
    if (!j.report.Json() && !j.report.WriteOut(DiffTable(reference.name, {row}, j.o.csv))) {
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

Outcome DiffWithSensor(Job& j, const ParameterInput& reference) {
    const SensorSetRead r = ReadSensorSet(j);
    if (r.status != kExitDone) {
        return {r.status, r.message};
    }
    if (r.ramLost) {
        j.report.Warn(
            "The sensor's working set is now the EEPROM set: its RAM held other values, which "
            "are gone (--keep-ram keeps them).");
    }
    DiffRow row;
    row.name = j.address.name;
    row.serial = j.serial;
    row.differences = CompareSets(WordsOf(reference), r.words);
    row.status = row.differences.empty() ? kExitDone : kExitRefused;
    j.differences = row.differences;
    return Report(j, reference, row);
}

Outcome DiffFiles(Job& j, const ParameterInput& reference, const ParameterInput& other) {
    DiffRow row;
    row.name = other.name;
    row.differences = CompareSets(WordsOf(reference), WordsOf(other));
    row.status = row.differences.empty() ? kExitDone : kExitRefused;
    return Report(j, reference, row);
}

} // namespace cli
