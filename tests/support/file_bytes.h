// Whole files as bytes, for tests that write inputs and check outputs.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace testfiles {

// The file's bytes; empty when it cannot be read.
inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace testfiles
