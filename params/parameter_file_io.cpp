#include "params/parameter_file_io.h"

#include "inifile/ini_store.h"
#include "params/parameter_file_content.h"

namespace params {
namespace {

// An integer item that the reader takes but cuts to 16 bits.
bool OutOfRange(ini::IniStore* store, const std::string& section, const std::string& key) {
    int value = 0;
    return ini::Ini_GetInt(store, section, key, &value) == 1 && (value < 0 || value > 0xFFFF);
}

// The keys of the set for which `test` holds, as "SECTION: KEY".
template <typename Test>
std::vector<std::string> KeysWhere(ini::IniStore* store, Test test) {
    std::vector<std::string> keys;
    const auto check = [&](const std::string& section, const std::string& key) {
        if (test(store, section, key)) {
            keys.push_back(section + ": " + key);
        }
    };
    for (int f = 0; f < kParaFieldCount; ++f) {
        check(kParameterSection, kParaFieldInfo[f].fileKey);
    }
    for (int r = 0; r < kTeachRows; ++r) {
        const std::string section = TeachVectorSection(r);
        for (int c = 0; c < 5; ++c) {
            check(section, "CELL " + std::to_string(c));
        }
        check(section, "GROUP");
        check(section, "HOLD");
    }
    return keys;
}

// The header, the 17 parameter keys and the 31 teach vectors in file order.
int FillStore(ini::IniStore* store, const ParameterBlockBytes& block,
              const TeachTableBytes& table) {
    int rc = store != nullptr ? PutParameterFileHeader(store) : ini::kIniErrNoMemory;
    if (rc >= 0) {
        rc = AppendParaToIniHandle(store, block);
    }
    if (rc >= 0) {
        rc = AppendTechVecToIniHandle(store, table);
    }
    return rc;
}

} // namespace

int WriteParameterFile(const std::string& path, const ParameterBlockBytes& block,
                       const TeachTableBytes& table) {
    ini::IniStorePtr store = ini::MakeIniStore();
    int rc = FillStore(store.get(), block, table);
    if (rc >= 0) {
        rc = ini::Ini_WriteToFile(store.get(), path);
    }
    return rc < 0 ? rc : 0;
}

int ParameterFileText(const ParameterBlockBytes& block, const TeachTableBytes& table,
                      std::string* text) {
    ini::IniStorePtr store = ini::MakeIniStore();
    int rc = FillStore(store.get(), block, table);
    if (rc >= 0) {
        rc = ini::Ini_WriteToString(store.get(), text);
    }
    return rc < 0 ? rc : 0;
}

std::string IniWriteFailureReason(int rc) {
    switch (rc) {
    case ini::kIniErrNotWritable:
        return "The file is write-protected or is not a regular file.";
    case ini::kIniErrCreate:
        return "The directory does not exist or is not writable.";
    case ini::kIniErrWrite:
        return "Writing the file failed (disk full?).";
    case ini::kIniErrReplace:
        return "The new file could not replace the old one.";
    case ini::kIniErrNoMemory:
        return "Not enough memory.";
    default:
        return "Error " + std::to_string(rc) + ".";
    }
}

std::string FileWriteFailureText(const std::string& what, const std::string& path, int rc) {
    return what + " could not be written: \n" + path + "\n" + IniWriteFailureReason(rc) +
           "\nAn existing file keeps its old contents.";
}

namespace {

bool GivenTwice(ini::IniStore* store, const std::string& section, const std::string& key) {
    return ini::Ini_ItemCount(store, section, key) > 1;
}

// Reads the file with `read` into a new store and takes the set out of it.
template <typename Read>
ParameterFileRead ReadSet(Read read, const ParameterBlockBytes& block,
                          const TeachTableBytes& table) {
    ParameterFileRead r;
    r.block = block;
    r.table = table;
    ini::IniStorePtr store = ini::MakeIniStore();
    if (!store) {
        r.storeMade = false;
        r.readResult = ini::kIniErrNoMemory;
        return r;
    }
    // A file that cannot be opened or read leaves the identification
    // missing, so it is no parameter file.
    r.readResult = read(store.get());
    ini::IniStore* s = store.get();
    r.isParameterFile = FileTypeOf(s) == kParameterFileType;
    r.versionMatches = ScopeVersionOf(s) == kParameterFileVersion;
    r.paraReport = AcquireParaFromIniHandle(s, &r.block);
    r.teachReport = AcquireTechVecFromIniHandle(s, &r.table);
    r.outOfRange = KeysWhere(s, OutOfRange);
    r.givenTwice = KeysWhere(s, GivenTwice);
    return r;
}

} // namespace

ParameterFileRead ReadParameterFile(const std::string& path, const ParameterBlockBytes& block,
                                    const TeachTableBytes& table) {
    return ReadSet([&path](ini::IniStore* s) { return ini::Ini_ReadFromFile(s, path); }, block,
                   table);
}

ParameterFileRead ReadParameterFileText(const std::string& text, const ParameterBlockBytes& block,
                                        const TeachTableBytes& table) {
    return ReadSet(
        [&text](ini::IniStore* s) { return ini::Ini_ReadFromMemory(s, text.data(), text.size()); },
        block, table);
}

} // namespace params
