#include "teach/attributes_file.h"

#include "inifile/file_text.h"
#include "params/row_palette.h"

namespace teach {
namespace {

constexpr const char* kGeneral = "GENERAL INFO";
constexpr const char* kColourKey = "Row color";
constexpr const char* kRowTextKey = "Row specification";
constexpr size_t kHeaderChars = 1023;

std::string HeaderValue(ini::IniStore* store, const char* tag) {
    std::string value;
    if (ini::Ini_GetString(store, kGeneral, tag, &value, kHeaderChars) <= 0) {
        value.clear();
    }
    return value;
}

} // namespace

std::string RowSection(int row) {
    return kRowSectionPrefix + std::to_string(row);
}

void PutRowAttributes(ini::IniStore* store, const RowAttributes& rows) {
    for (int r = 0; r < kAttributeRows; ++r) {
        const std::string section = RowSection(r);
        ini::Ini_PutInt(store, section, kColourKey, static_cast<int32_t>(rows.colour[r]));
        // The editor's and the reader's limit, counted alike.
        ini::Ini_PutString(store, section, kRowTextKey,
                           std::string(filetext::CutToChars(rows.rowText[r], kMaxRowTextChars)));
    }
}

int GetRowAttributes(ini::IniStore* store, RowAttributes* rows, std::string* failed) {
    int failures = 0;
    for (int r = 0; r < kAttributeRows; ++r) {
        const std::string section = RowSection(r);
        int colour = 0;
        const bool colourOk = ini::Ini_GetInt(store, section, kColourKey, &colour) > 0 &&
                              colour >= 0 && static_cast<uint32_t>(colour) <= kMaxColour;
        rows->colour[r] = colourOk ? static_cast<uint32_t>(colour) : params::DefaultRowColour(r);
        std::string text;
        if (ini::Ini_GetString(store, section, kRowTextKey, &text, kMaxRowTextChars) <= 0) {
            text.clear();
        }
        rows->rowText[r] = text;
        if (!colourOk) {
            ++failures;
            if (failed != nullptr) {
                *failed += section + "\n";
            }
        }
    }
    return failures;
}

void PutTableAttributesHeader(ini::IniStore* store) {
    ini::Ini_PutString(store, kGeneral, "FILE TYPE:", kTableAttributesFileType);
    ini::Ini_PutString(store, kGeneral, "SCOPE VERSION:", kTableAttributesVersion);
}

std::string FileTypeOf(ini::IniStore* store) {
    return HeaderValue(store, "FILE TYPE:");
}

std::string VersionOf(ini::IniStore* store) {
    return HeaderValue(store, "SCOPE VERSION:");
}

RowAttributes DefaultRowAttributes() {
    RowAttributes rows;
    for (int r = 0; r < kAttributeRows; ++r) {
        rows.colour[r] = params::DefaultRowColour(r);
    }
    return rows;
}

} // namespace teach
