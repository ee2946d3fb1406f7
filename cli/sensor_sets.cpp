#include "cli/sensor_sets.h"

#include "cli/report.h"
#include "link/com232.h"
#include "link/program_link.h"
#include "params/mode_corrections.h"
#include "params/transfer_ops.h"

namespace cli {
namespace {

// Reads one set; false after a link failure (in com232::ProgramLink().StatusText).
bool Read(uint16_t set, bool fromEeprom, SetWords* words) {
    const params::TransferResult r =
        params::ReadParaSet(com232::ProgramLink(), set, fromEeprom, &words->block, &words->table);
    if (!r.reports.empty()) {
        Warn(r.reports);
    }
    return r.ok;
}

SensorSetRead LinkFailure(SensorSetRead r, const std::string& what) {
    r.status = kExitLink;
    r.message = com232::ProgramLink().StatusText + "\n" + what;
    return r;
}

// Sends the RAM sets that the EEPROM load replaced back and reads them
// again to be sure.
SensorSetRead RestoreRam(SensorSetRead r, const SetWords ram[2]) {
    for (int s : r.ramSetsReplaced) {
        const auto set = static_cast<uint16_t>(s);
        const params::TransferResult w =
            params::WriteParaSet(com232::ProgramLink(), set, false, ram[s].block, ram[s].table);
        if (!w.reports.empty()) {
            Warn(w.reports);
        }
        if (!w.ok) {
            r.ramLost = true;
            return LinkFailure(r, "RAM set " + std::to_string(s) +
                                      " could not be sent back: the sensor now works with "
                                      "the EEPROM set.");
        }
        SetWords back;
        if (!Read(set, false, &back)) {
            return LinkFailure(r, "RAM set " + std::to_string(s) + " could not be read back.");
        }
        const std::vector<Difference> d = CompareSets(ram[s], back, true);
        if (!d.empty()) {
            r.status = kExitRefused;
            r.message = "RAM set " + std::to_string(s) +
                        " was sent back but the sensor holds it otherwise (sent -> read back):" +
                        DifferencesText(d);
            return r;
        }
    }
    return r;
}

} // namespace

SensorSetRead ReadSensorSet(const Options& o) {
    SensorSetRead r;
    const auto set = static_cast<uint16_t>(o.set);
    if (!o.eeprom) {
        return Read(set, false, &r.words) ? r : LinkFailure(r, "The set could not be read.");
    }
    // Both RAM sets first: order 4 loads both from the EEPROM.
    SetWords ram[2];
    for (uint16_t s = 0; s < 2; ++s) {
        if (!Read(s, false, &ram[s])) {
            return LinkFailure(r, "The RAM sets could not be read; the EEPROM was not loaded.");
        }
    }
    SetWords eeprom[2];
    const uint16_t other = set == 0 ? 1 : 0;
    if (!Read(set, true, &eeprom[set]) || !Read(other, false, &eeprom[other])) {
        r.ramLost = true;
        return LinkFailure(r, "The EEPROM set could not be read; the sensor's working set may "
                              "already be the EEPROM set.");
    }
    r.words = eeprom[set];
    for (int s = 0; s < 2; ++s) {
        if (!CompareSets(ram[s], eeprom[s], true).empty()) {
            r.ramSetsReplaced.push_back(s);
        }
    }
    if (r.ramSetsReplaced.empty()) {
        return r;
    }
    if (o.keepRam) {
        return RestoreRam(r, ram);
    }
    r.ramLost = true;
    return r;
}

SetWords AsTheProgramHoldsIt(const SetWords& sensor, std::vector<std::string>* warnings) {
    params::ParameterModel model;
    model.Replace(sensor.block, sensor.table);
    *warnings = params::ApplyModeRules(model);
    return {model.Block(), model.Table()};
}

} // namespace cli
