// Helpers for the INI store tests: a private temporary directory and raw file
// access.
#pragma once

#include "inifile/ini_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace ini_test {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir() {
        static std::atomic<int> counter{0};
        path_ = fs::temp_directory_path() /
                ("ini_store_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// A new store holding the given file text, read through a temporary file.
inline ini::IniStorePtr StoreFromText(const std::string& text) {
    TempDir dir;
    const std::string path = dir.File("in.ini");
    WriteBytes(path, text);
    ini::IniStorePtr store = ini::MakeIniStore();
    EXPECT_EQ(0, ini::Ini_ReadFromFile(store.get(), path));
    return store;
}

inline std::string GetString(ini::IniStore* store, const std::string& section,
                             const std::string& tag, int* result = nullptr) {
    std::string out;
    const int r = ini::Ini_GetString(store, section, tag, &out, 1 << 20);
    if (result != nullptr) {
        *result = r;
    }
    return out;
}

inline bool IsRoot() {
    return ::geteuid() == 0;
}

} // namespace ini_test
