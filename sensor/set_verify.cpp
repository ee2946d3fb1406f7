#include "sensor/set_verify.h"

#include "params/transfer_ops.h"

namespace sensor {

void KeepReservedWords(SetWords* file, const SetWords& current) {
    for (int row = 0; row < params::kTeachRows; ++row) {
        file->table.set(row, params::kReserved, current.table.get(row, params::kReserved));
    }
}

Verification VerifySet(com232::SensorLink& link, uint16_t set, bool eeprom, const SetWords& sent) {
    Verification v;
    v.memory = eeprom ? "EEPROM" : "RAM";
    SetWords back;
    const params::TransferResult r =
        params::ReadParaSet(link, set, eeprom, &back.block, &back.table);
    v.reports = r.reports;
    v.read = r.ok;
    if (!r.ok) {
        v.failure = r.message;
        return v;
    }
    v.differences = CompareSets(sent, back);
    return v;
}

std::string VerificationFailureText(const Verification& v) {
    if (!v.read) {
        return v.failure + "\nThe set could not be read back.";
    }
    const size_t n = v.differences.size();
    return std::string("Verification failed: the set in ") + v.memory + " differs in " +
           std::to_string(n) + (n == 1 ? " word" : " words") +
           " (sent -> read back):" + DifferencesText(v.differences);
}

} // namespace sensor
