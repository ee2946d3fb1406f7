// Any bytes as a table-attributes file (or the row sections of the
// panel-settings file): every colour ends in 0..0xFFFFFF, every
// row text has at most 99 characters, the failed rows are counted and
// named, and a file read without a failed row writes back and reads again
// unchanged.
#include "inifile/file_text.h"
#include "inifile/ini_store.h"
#include "teach/attributes_file.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ini::IniStorePtr store = ini::MakeIniStore();
    ini::Ini_ReadFromMemory(store.get(), reinterpret_cast<const char*>(data), size);
    (void)teach::FileTypeOf(store.get());
    (void)teach::VersionOf(store.get());
    teach::RowAttributes rows;
    std::string failed;
    const int failures = teach::GetRowAttributes(store.get(), &rows, &failed);
    if (failures < 0 || failures > teach::kAttributeRows || (failures == 0) != failed.empty()) {
        std::abort();
    }
    for (int r = 0; r < teach::kAttributeRows; ++r) {
        if (rows.colour[r] > teach::kMaxColour ||
            filetext::CharCount(rows.rowText[r]) > teach::kMaxRowTextChars ||
            !filetext::IsUtf8(rows.rowText[r])) {
            std::abort();
        }
    }
    // A file whose every row was read goes back into a file and comes back
    // unchanged. (Files with rows missing are read to the same code; leaving
    // them out of the round trip keeps the executions cheap.)
    if (failures != 0) {
        return 0;
    }
    ini::IniStorePtr out = ini::MakeIniStore();
    teach::PutTableAttributesHeader(out.get());
    teach::PutRowAttributes(out.get(), rows);
    std::string text;
    ini::Ini_WriteToString(out.get(), &text);
    ini::IniStorePtr back = ini::MakeIniStore();
    ini::Ini_ReadFromMemory(back.get(), text.data(), text.size());
    teach::RowAttributes again;
    std::string failedAgain;
    if (teach::GetRowAttributes(back.get(), &again, &failedAgain) != 0) {
        std::abort();
    }
    for (int r = 0; r < teach::kAttributeRows; ++r) {
        if (again.colour[r] != rows.colour[r] || again.rowText[r] != rows.rowText[r]) {
            std::abort();
        }
    }
    return 0;
}
