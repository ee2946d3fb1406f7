// The table diff prints: one row per sensor (or file) compared with the
// reference, one column per key that differs anywhere, the reference's
// values in the first row.
#pragma once

#include "sensor/set_compare.h"

#include <string>
#include <vector>

namespace cli {

// The set comparison is shared with the gateway (sensor/set_compare.h).
using sensor::AllKeys;
using sensor::CompareSets;
using sensor::Difference;
using sensor::DifferencesJson;
using sensor::DifferencesText;
using sensor::SetWords;

struct DiffRow {
    std::string name;
    unsigned serial = 0;
    int status = 0;                      // 0 same, 3 differs, any other: failed (no values)
    std::vector<Difference> differences; // first: the reference's value, second: this row's
};

// As text (a value where it differs, "=" where it agrees) or as
// comma-separated values (every value given).
std::string DiffTable(const std::string& referenceName, const std::vector<DiffRow>& rows, bool csv);

} // namespace cli
