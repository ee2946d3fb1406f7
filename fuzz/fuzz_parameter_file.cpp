// Any bytes as a parameter file: the blocks filled from it keep their
// layout (the reserved word of every row untouched), every key that cannot
// be read is reported, and a file read without a missing key writes back
// and reads again to the same blocks.
#include "inifile/ini_store.h"
#include "params/parameter_file_content.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ini::IniStorePtr store = ini::MakeIniStore();
    ini::Ini_ReadFromMemory(store.get(), reinterpret_cast<const char*>(data), size);
    (void)params::FileTypeOf(store.get());
    (void)params::ScopeVersionOf(store.get());

    params::ParameterBlockBytes block;
    params::TeachTableBytes table;
    for (int row = 0; row < params::kTeachRows; ++row) {
        table.set(row, params::kReserved, static_cast<uint16_t>(0xA500 + row));
    }
    const std::string paraReport = params::AcquireParaFromIniHandle(store.get(), &block);
    const std::string teachReport = params::AcquireTechVecFromIniHandle(store.get(), &table);
    for (int row = 0; row < params::kTeachRows; ++row) {
        if (table.get(row, params::kReserved) != 0xA500 + row) {
            std::abort();
        }
    }
    if ((!paraReport.empty() && paraReport.rfind(params::kReportParaHeading, 0) != 0) ||
        (!teachReport.empty() && teachReport.rfind(params::kReportTeachHeading, 0) != 0)) {
        std::abort();
    }

    // A file whose every key was read goes back into a file and comes back
    // unchanged. (Files with keys missing are read to the same code; leaving
    // them out of the round trip keeps the executions cheap.)
    if (!paraReport.empty() || !teachReport.empty()) {
        return 0;
    }
    ini::IniStorePtr out = ini::MakeIniStore();
    params::PutParameterFileHeader(out.get());
    params::AppendParaToIniHandle(out.get(), block);
    params::AppendTechVecToIniHandle(out.get(), table);
    std::string text;
    ini::Ini_WriteToString(out.get(), &text);
    ini::IniStorePtr back = ini::MakeIniStore();
    ini::Ini_ReadFromMemory(back.get(), text.data(), text.size());
    params::ParameterBlockBytes block2;
    params::TeachTableBytes table2 = table;
    if (!params::AcquireParaFromIniHandle(back.get(), &block2).empty() ||
        !params::AcquireTechVecFromIniHandle(back.get(), &table2).empty() ||
        std::memcmp(block.bytes, block2.bytes, sizeof block.bytes) != 0 ||
        std::memcmp(table.bytes, table2.bytes, sizeof table.bytes) != 0) {
        std::abort();
    }
    return 0;
}
