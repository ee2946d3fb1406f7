// Output files of the commands: checked before anything is sent to the
// sensor (a scope capture or a triggered recording is a rare event that a
// bad path must not cost), and "-" for standard output.
#pragma once

#include <string>

namespace cli {

bool IsStdStream(const std::string& path);

// Why `path` cannot be written (its directory missing or not writable, the
// path a directory or a read-only file); empty when it can, and for "-".
std::string OutputPathProblem(const std::string& path);

// A number with `decimals` decimals and a decimal point, whatever the locale.
std::string Decimal(double value, int decimals);

} // namespace cli
