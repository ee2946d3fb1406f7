#include "params/parameter_file_content.h"

namespace params {
namespace {

constexpr int kCells = 5;
constexpr size_t kIdentificationChars = 1023;

// Reads an integer item: true with its low 16 bits, false when the item is
// missing, blank, not a 32-bit decimal integer or given more than once (no
// one can say which of its values was meant).
bool GetU16(ini::IniStore* store, const std::string& section, const std::string& key,
            uint16_t* out) {
    int value = 0;
    if (ini::Ini_ItemCount(store, section, key) > 1 ||
        ini::Ini_GetInt(store, section, key, &value) != 1) {
        return false;
    }
    *out = static_cast<uint16_t>(static_cast<uint32_t>(value) & 0xFFFFu);
    return true;
}

std::string CellKey(int cell) {
    return "CELL " + std::to_string(cell);
}

std::string GetIdentification(ini::IniStore* store, const char* key) {
    std::string text;
    ini::Ini_GetString(store, kGeneralInfoSection, key, &text, kIdentificationChars);
    return text;
}

} // namespace

std::string TeachVectorSection(int row) {
    return "TEACH VECTOR " + std::to_string(row);
}

int PutParameterFileHeader(ini::IniStore* store) {
    int rc = ini::Ini_PutString(store, kGeneralInfoSection, kFileTypeKey, kParameterFileType);
    if (rc >= 0) {
        rc =
            ini::Ini_PutString(store, kGeneralInfoSection, kScopeVersionKey, kParameterFileVersion);
    }
    return rc < 0 ? rc : 0;
}

int AppendParaToIniHandle(ini::IniStore* store, const ParameterBlockBytes& block) {
    for (int f = 0; f < kParaFieldCount; ++f) {
        const int rc = ini::Ini_PutInt(store, kParameterSection, kParaFieldInfo[f].fileKey,
                                       block.get(static_cast<ParaField>(f)));
        if (rc < 0) {
            return rc;
        }
    }
    return 0;
}

int AppendTechVecToIniHandle(ini::IniStore* store, const TeachTableBytes& table) {
    for (int r = 0; r < kTeachRows; ++r) {
        const std::string section = TeachVectorSection(r);
        int rc = 0;
        for (int c = 0; c < kCells && rc >= 0; ++c) {
            rc = ini::Ini_PutInt(store, section, CellKey(c),
                                 table.get(r, static_cast<TeachField>(c)));
        }
        if (rc >= 0) {
            rc = ini::Ini_PutInt(store, section, "GROUP ", table.get(r, kGroup));
        }
        if (rc >= 0) {
            rc = ini::Ini_PutInt(store, section, "HOLD ", table.get(r, kHold));
        }
        if (rc < 0) {
            return rc;
        }
    }
    return 0;
}

std::string FileTypeOf(ini::IniStore* store) {
    return GetIdentification(store, kFileTypeKey);
}

std::string ScopeVersionOf(ini::IniStore* store) {
    return GetIdentification(store, kScopeVersionKey);
}

std::string AcquireParaFromIniHandle(ini::IniStore* store, ParameterBlockBytes* block) {
    std::string report = kReportParaHeading;
    bool missing = false;
    for (int f = 0; f < kParaFieldCount; ++f) {
        const ParaFieldInfo& info = kParaFieldInfo[f];
        uint16_t value = 0;
        if (!GetU16(store, kParameterSection, info.fileKey, &value)) {
            value = info.fileDefault;
            report += info.reportName;
            missing = true;
        }
        block->set(static_cast<ParaField>(f), value);
    }
    return missing ? report : std::string();
}

std::string AcquireTechVecFromIniHandle(ini::IniStore* store, TeachTableBytes* table) {
    std::string report = kReportTeachHeading;
    bool anyMissing = false;
    for (int r = 0; r < kTeachRows; ++r) {
        const std::string section = TeachVectorSection(r);
        bool rowMissing = false;
        const auto take = [&](const std::string& key, TeachField field, uint16_t fallback) {
            uint16_t value = 0;
            if (!GetU16(store, section, key, &value)) {
                value = fallback;
                rowMissing = true;
            }
            table->set(r, field, value);
        };
        for (int c = 0; c < kCells; ++c) {
            take(CellKey(c), static_cast<TeachField>(c), kDefaultCell);
        }
        take("GROUP", kGroup, kDefaultGroup);
        take("HOLD", kHold, kDefaultHold);
        if (rowMissing) {
            report += section + "\n";
            anyMissing = true;
        }
    }
    return anyMissing ? report : std::string();
}

} // namespace params
