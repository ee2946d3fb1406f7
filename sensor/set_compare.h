// Comparing two parameter sets word by word, each word named by its
// parameter-file key ("PARAMETER: POWER", "TEACH VECTOR 3: CELL 0"): for
// the verification after a send (the command-line tool and the gateway),
// the corrections the mode rules would make,
// the EEPROM against RAM, and diff.
#pragma once

#include "params/parameter_layout.h"

#include <QJsonArray>

#include <cstdint>
#include <string>
#include <vector>

namespace sensor {

struct SetWords {
    params::ParameterBlockBytes block;
    params::TeachTableBytes table;
};

struct Difference {
    std::string key;
    uint16_t first = 0;  // the value in the first set
    uint16_t second = 0; // the value in the second
};

// The words in which `b` differs from `a`, in file order. The rows'
// reserved words (never in a file) are compared only `withReserved`.
std::vector<Difference> CompareSets(const SetWords& a, const SetWords& b,
                                    bool withReserved = false);

// As JSON objects {"key": ..., firstName: ..., secondName: ...}.
QJsonArray DifferencesJson(const std::vector<Difference>& differences, const char* firstName,
                           const char* secondName);

// Every key a difference can name, in file order.
const std::vector<std::string>& AllKeys();

// One "KEY FIRST -> SECOND" line per difference, indented.
std::string DifferencesText(const std::vector<Difference>& differences);

} // namespace sensor
