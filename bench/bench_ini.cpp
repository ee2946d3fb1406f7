// INI text store on a parameter-file-sized store: mean time of a write, of a
// read and of getting every key back.
#include "inifile/ini_store.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char* const kParameterKeys[] = {
    "POWER",     "POWER MODE",   "AVERAGE",          "EVALUATION MODE",
    "HOLD FAIL", "INTLIM",       "MAX VEC NO",       "DIGITAL OUTMODE",
    "TRIGGER",   "EXTERN TEACH", "CALCULATION MODE", "DYNWIN LO",
    "DYNWIN HI", "COLOR GROUP",  "LED MODE",         "GAIN",
    "INTEGRAL",
};
const char* const kRowKeys[] = {"CELL 0", "CELL 1", "CELL 2", "CELL 3",
                                "CELL 4", "GROUP ", "HOLD "};

void Fill(ini::IniStore* store) {
    ini::Ini_PutString(store, "GENERAL INFO", "FILE TYPE:", "Parameter File");
    ini::Ini_PutString(store, "GENERAL INFO", "SCOPE VERSION:", "CHROMIK3 Scope V4.3");
    int n = 0;
    for (const char* key : kParameterKeys) {
        ini::Ini_PutInt(store, "PARAMETER", key, 100 + n++);
    }
    for (int r = 0; r <= 30; ++r) {
        const std::string section = "TEACH VECTOR " + std::to_string(r);
        for (const char* key : kRowKeys) {
            ini::Ini_PutInt(store, section, key, r * 10 + n++ % 7);
        }
    }
}

// Gets every key back the way the parameter file reader does; returns a sum so
// the work cannot be optimised away.
long GetAll(ini::IniStore* store) {
    long sum = 0;
    char text[256];
    sum += ini::Ini_GetStringIntoBuffer(store, "GENERAL INFO", "FILE TYPE:", text, sizeof text);
    sum += ini::Ini_GetStringIntoBuffer(store, "GENERAL INFO", "SCOPE VERSION:", text, sizeof text);
    int v = 0;
    for (const char* key : kParameterKeys) {
        if (ini::Ini_GetInt(store, "PARAMETER", key, &v) == 1) {
            sum += v;
        }
    }
    const char* const rowKeys[] = {"CELL 0", "CELL 1", "CELL 2", "CELL 3",
                                   "CELL 4", "GROUP",  "HOLD"};
    for (int r = 0; r <= 30; ++r) {
        const std::string section = "TEACH VECTOR " + std::to_string(r);
        for (const char* key : rowKeys) {
            if (ini::Ini_GetInt(store, section, key, &v) == 1) {
                sum += v;
            }
        }
    }
    return sum;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("bench_ini_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "Parameter.ini").string();

    ini::IniStorePtr store = ini::MakeIniStore();
    Fill(store.get());
    int failures = 0;

    auto t = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        failures += ini::Ini_WriteToFile(store.get(), path) != 0;
    }
    const double write = Seconds(t) / rounds;

    std::vector<ini::IniStorePtr> stores;
    stores.reserve(rounds);
    t = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        stores.push_back(ini::MakeIniStore());
        failures += ini::Ini_ReadFromFile(stores.back().get(), path) != 0;
    }
    const double read = Seconds(t) / rounds;

    long sum = 0;
    t = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        sum += GetAll(stores[static_cast<size_t>(i)].get());
    }
    const double get = Seconds(t) / rounds;

    const auto size = fs::file_size(path);

    // A damaged or foreign 10 MB file: 1000-character lines, every tenth one a
    // section line, the rest items.
    const std::string big = (dir / "big.ini").string();
    {
        std::string text;
        text.reserve(11u << 20);
        for (int line = 0; text.size() < (10u << 20); ++line) {
            if (line % 10 == 0) {
                text += "[SECTION " + std::to_string(line) + "]\r\n";
            } else {
                text += "KEY " + std::to_string(line) + " = \"" + std::string(980, 'x') + "\"\r\n";
            }
        }
        std::FILE* f = std::fopen(big.c_str(), "wb");
        if (f == nullptr || std::fwrite(text.data(), 1, text.size(), f) != text.size()) {
            ++failures;
        }
        if (f != nullptr) {
            std::fclose(f);
        }
    }
    const int bigRounds = std::max(1, rounds / 40);
    t = std::chrono::steady_clock::now();
    for (int i = 0; i < bigRounds; ++i) {
        ini::IniStorePtr s = ini::MakeIniStore();
        failures += ini::Ini_ReadFromFile(s.get(), big) != 0;
    }
    const double readBig = Seconds(t) / bigRounds;
    fs::remove_all(dir);
    std::printf("INI store, parameter file of %ju bytes (33 sections, 236 keys), %d rounds\n",
                static_cast<uintmax_t>(size), rounds);
    std::printf("  write (temporary file, fsync, rename): %8.1f us\n", write * 1e6);
    std::printf("  read into a new store:                 %8.1f us\n", read * 1e6);
    std::printf("  get all keys (first lookup after read): %7.1f us [checksum %ld]\n", get * 1e6,
                sum);
    std::printf("  read of a 10 MB file:                  %8.1f ms\n", readBig * 1e3);
    if (failures != 0) {
        std::printf("  %d operations FAILED\n", failures);
        return 1;
    }
    return 0;
}
