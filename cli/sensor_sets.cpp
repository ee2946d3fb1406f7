#include "cli/sensor_sets.h"

#include "cli/report.h"
#include "link/com232.h"
#include "params/mode_corrections.h"
#include "params/transfer_ops.h"

namespace cli {
namespace {

// Reads one set; false after a link failure (the link's message in
// *failure).
bool Read(Job& j, uint16_t set, bool fromEeprom, SetWords* words, std::string* failure) {
    const params::TransferResult r =
        params::ReadParaSet(j.Link(), set, fromEeprom, &words->block, &words->table);
    if (!r.reports.empty()) {
        j.report.Warn(r.reports);
    }
    *failure = r.message;
    return r.ok;
}

SensorSetRead LinkFailure(SensorSetRead r, const std::string& failure, const std::string& what) {
    r.status = kExitLink;
    r.message = failure + "\n" + what;
    return r;
}

// Sends the RAM sets that the EEPROM load replaced back and reads them
// again to be sure.
SensorSetRead RestoreRam(Job& j, SensorSetRead r, const SetWords ram[2]) {
    for (int s : r.ramSetsReplaced) {
        const auto set = static_cast<uint16_t>(s);
        const params::TransferResult w =
            params::WriteParaSet(j.Link(), set, false, ram[s].block, ram[s].table);
        if (!w.reports.empty()) {
            j.report.Warn(w.reports);
        }
        if (!w.ok) {
            r.ramLost = true;
            return LinkFailure(r, w.message,
                               "RAM set " + std::to_string(s) +
                                   " could not be sent back: the sensor now works with "
                                   "the EEPROM set.");
        }
        SetWords back;
        std::string failure;
        if (!Read(j, set, false, &back, &failure)) {
            return LinkFailure(r, failure,
                               "RAM set " + std::to_string(s) + " could not be read back.");
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

SensorSetRead ReadSensorSet(Job& j) {
    const Options& o = j.o;
    SensorSetRead r;
    std::string failure;
    const auto set = static_cast<uint16_t>(o.set);
    if (!o.eeprom) {
        return Read(j, set, false, &r.words, &failure)
                   ? r
                   : LinkFailure(r, failure, "The set could not be read.");
    }
    // Both RAM sets first: order 4 loads both from the EEPROM.
    SetWords ram[2];
    for (uint16_t s = 0; s < 2; ++s) {
        if (!Read(j, s, false, &ram[s], &failure)) {
            return LinkFailure(r, failure,
                               "The RAM sets could not be read; the EEPROM was not loaded.");
        }
    }
    SetWords eeprom[2];
    const uint16_t other = set == 0 ? 1 : 0;
    if (!Read(j, set, true, &eeprom[set], &failure) ||
        !Read(j, other, false, &eeprom[other], &failure)) {
        r.ramLost = true;
        return LinkFailure(r, failure,
                           "The EEPROM set could not be read; the sensor's working set may "
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
        return RestoreRam(j, r, ram);
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
