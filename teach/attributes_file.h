// Content of the table-attributes file "TableAttributes.ini", free of any
// panel: the row indicator colour and the row text of each of the
// 31 teach rows, one section per row. The panel-settings file carries the
// same row sections.
#pragma once

#include "inifile/ini_store.h"

#include <cstdint>
#include <string>

namespace teach {

inline constexpr const char* kTableAttributesFileType = "Table Attributes";
inline constexpr const char* kTableAttributesVersion = "CHROMIK3 Scope V4.3";
inline constexpr const char* kTableAttributesFileName = "TableAttributes.ini";
inline constexpr const char* kRowSectionPrefix = "TABLE ATTR OF TEACH VECTOR ";
constexpr int kAttributeRows = 31;
// Characters (Unicode code points, filetext::CharCount) of a row text: the
// editor takes, the writer writes and the reader keeps at most this many.
constexpr size_t kMaxRowTextChars = 99;
constexpr uint32_t kMaxColour = 0xFFFFFF;

inline constexpr const char* kTextAttributesNotRead =
    "Following teach vectors could not be read \nand where set to default value:\n\n";

struct RowAttributes {
    uint32_t colour[kAttributeRows] = {}; // 0x00RRGGBB
    std::string rowText[kAttributeRows];  // at most 99 characters
};

// Section of teach row r: the prefix followed by r in decimal.
std::string RowSection(int row);

// Puts the 31 row sections: "Row color" as a decimal integer and
// "Row specification" as text (cut to 99 characters).
void PutRowAttributes(ini::IniStore* store, const RowAttributes& rows);

// Reads the 31 row sections into `rows`. A colour that is missing, not an
// integer or outside 0..0xFFFFFF takes the row's default colour and the row
// counts as failed: its section name and a line break are appended to
// *failed. A missing row text gives an empty text; a longer one is cut
// to 99 characters. Returns the number of failed rows.
int GetRowAttributes(ini::IniStore* store, RowAttributes* rows, std::string* failed);

// The header of a table-attributes file, "GENERAL INFO" first.
void PutTableAttributesHeader(ini::IniStore* store);
// "FILE TYPE:" and "SCOPE VERSION:" of a store (empty when missing).
std::string FileTypeOf(ini::IniStore* store);
std::string VersionOf(ini::IniStore* store);

// The built-in palette as row attributes with empty row texts.
RowAttributes DefaultRowAttributes();

} // namespace teach
