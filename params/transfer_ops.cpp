#include "params/transfer_ops.h"

#include "link/com232.h"
#include "link/link_ui.h"
#include "platform/shell_services.h"

#include <cstring>

namespace params {
namespace {

// Puts a block into the request data area and exchanges order 1.
int SendBlock(uint16_t param, const uint8_t* data, size_t size) {
    std::memcpy(com232::TxData(), data, size);
    com232::FillTxBuf(com232::kOrderWritePara, param, static_cast<uint16_t>(size));
    return com232::DataExchange(static_cast<int>(com232::kHeaderSize + size));
}

int Request(uint8_t order, uint16_t param) {
    com232::FillTxBuf(order, param, 0);
    return com232::DataExchange(static_cast<int>(com232::kHeaderSize));
}

// A rejected write shows like a link failure: it ends a running acquisition
// loop, and the user finds the text on the connection page.
void ReportRamPlausibility(TransferResult* r) {
    com232::StatusText = "INFO!\n" + std::to_string(com232::AnswerParam) + kTextRamPlausibility;
    r->reports += com232::StatusText + "\n";
    com232::SetTimeout();
}

TransferResult Failed(TransferResult r, TransferStep step) {
    r.failedAt = step;
    return r;
}

} // namespace

const char* TransferStepName(TransferStep step) {
    switch (step) {
    case TransferStep::EepromLoad:
        return "the EEPROM load (order 4)";
    case TransferStep::Block:
        return "the parameter block";
    case TransferStep::Table:
        return "the teach table";
    case TransferStep::EepromStore:
        return "the EEPROM store (order 3)";
    case TransferStep::None:
        break;
    }
    return "nothing";
}

TransferResult WriteParaSet(uint16_t set, bool toEeprom, const ParameterBlockBytes& block,
                            const TeachTableBytes& table) {
    TransferResult r;
    if (SendBlock(set, block.bytes, kParameterBlockSize) != 1) {
        return Failed(r, TransferStep::Block);
    }
    r.blockPlausibility = com232::AnswerParam;
    if (r.blockPlausibility != 0) {
        ReportRamPlausibility(&r); // the teach table is sent all the same
    }
    if (SendBlock(static_cast<uint16_t>(set + 2), table.bytes, kTeachTableSize) != 1) {
        return Failed(r, TransferStep::Table);
    }
    r.tablePlausibility = com232::AnswerParam;
    if (r.tablePlausibility != 0) {
        ReportRamPlausibility(&r);
    }
    // The store's own answer is not examined further: the sensor acknowledges
    // it without a code.
    if (toEeprom && Request(com232::kOrderStoreEeprom, 0) != 1) {
        return Failed(r, TransferStep::EepromStore);
    }
    r.ok = true;
    return r;
}

TransferResult ReadParaSet(uint16_t set, bool fromEeprom, ParameterBlockBytes* block,
                           TeachTableBytes* table) {
    TransferResult r;
    if (fromEeprom) {
        if (Request(com232::kOrderLoadEeprom, 0) != 1) {
            return Failed(r, TransferStep::EepromLoad);
        }
        r.eepromPlausibility = com232::AnswerParam;
        if (r.eepromPlausibility != 0) {
            shell::Shell().ShowPage(shell::kPageConnection);
            com232::StatusText =
                "INFO!\n" + std::to_string(com232::AnswerParam) + kTextEepromPlausibility;
            r.reports += com232::StatusText;
            com232::Ui().AppendMessage(com232::StatusText);
        }
    }
    if (Request(com232::kOrderReadPara, set) != 1) {
        return Failed(r, TransferStep::Block);
    }
    // A shorter answer leaves zeros: the buffer is cleared before every request.
    ParameterBlockBytes readBlock;
    std::memcpy(readBlock.bytes, com232::RxData(), kParameterBlockSize);
    if (Request(com232::kOrderReadPara, static_cast<uint16_t>(set + 2)) != 1) {
        return Failed(r, TransferStep::Table); // a half-read set is not taken
    }
    std::memcpy(table->bytes, com232::RxData(), kTeachTableSize);
    *block = readBlock;
    r.ok = true;
    return r;
}

} // namespace params
