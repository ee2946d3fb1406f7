#include "cli/outputs.h"

#include "cli/options.h"

#include <charconv>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace cli {

bool IsStdStream(const std::string& path) {
    return path == kStdStream;
}

std::string OutputPathProblem(const std::string& path) {
    namespace fs = std::filesystem;
    if (IsStdStream(path)) {
        return {};
    }
    if (path.empty()) {
        return "no file name given";
    }
    const fs::path p(path);
    const std::string dir = p.has_parent_path() ? p.parent_path().string() : ".";
    std::error_code ec;
    if (!fs::exists(dir, ec)) {
        return "the directory " + dir + " does not exist";
    }
    if (!fs::is_directory(dir, ec)) {
        return dir + " is not a directory";
    }
    if (::access(dir.c_str(), W_OK | X_OK) != 0) {
        return "the directory " + dir + " is not writable";
    }
    if (fs::is_directory(p, ec)) {
        return path + " is a directory";
    }
    if (fs::exists(p, ec) && ::access(path.c_str(), W_OK) != 0) {
        return path + " is write-protected";
    }
    return {};
}

std::string Decimal(double value, int decimals) {
    char text[64];
    const auto r =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return r.ec == std::errc() ? std::string(text, r.ptr) : std::string("0");
}

} // namespace cli
