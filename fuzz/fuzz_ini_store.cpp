// Any bytes as an INI file: reading must not fail or read past its input,
// and writing what was read, then reading and writing that again, must give
// the same text (what the store writes, it reads back unchanged).
#include "inifile/ini_store.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ini::IniStorePtr first = ini::MakeIniStore();
    if (ini::Ini_ReadFromMemory(first.get(), reinterpret_cast<const char*>(data), size) != 0) {
        std::abort();
    }
    std::string text1;
    if (ini::Ini_WriteToString(first.get(), &text1) != 0) {
        std::abort();
    }
    ini::IniStorePtr second = ini::MakeIniStore();
    if (ini::Ini_ReadFromMemory(second.get(), text1.data(), text1.size()) != 0) {
        std::abort();
    }
    std::string text2;
    if (ini::Ini_WriteToString(second.get(), &text2) != 0 || text1 != text2) {
        std::abort();
    }
    return 0;
}
