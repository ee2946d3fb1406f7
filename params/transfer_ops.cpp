#include "params/transfer_ops.h"

#include "link/com232.h"
#include "params/parameter_model.h"
#include "params/transfer_state.h"
#include "platform/shell_services.h"

#include <cstring>

namespace params {
namespace {

// Puts a block into the request data area and exchanges order 1.
int SendBlock(com232::SensorLink& link, uint16_t param, const uint8_t* data, size_t size) {
    std::memcpy(link.TxData(), data, size);
    link.FillTxBuf(com232::kOrderWritePara, param, static_cast<uint16_t>(size));
    return link.DataExchange(static_cast<int>(com232::kHeaderSize + size));
}

int Request(com232::SensorLink& link, uint8_t order, uint16_t param) {
    link.FillTxBuf(order, param, 0);
    return link.DataExchange(static_cast<int>(com232::kHeaderSize));
}

// A rejected write shows like a link failure: it ends a running acquisition
// loop, and the user finds the text on the connection page.
void ReportRamPlausibility(com232::SensorLink& link, TransferResult* r) {
    link.StatusText = "INFO!\n" + std::to_string(link.AnswerParam) + kTextRamPlausibility;
    r->reports += link.StatusText + "\n";
    link.SetTimeout();
}

TransferResult Failed(const com232::SensorLink& link, TransferResult r, TransferStep step) {
    r.failedAt = step;
    r.message = link.StatusText;
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

std::string TransferFailureText(const TransferResult& r, bool toEeprom) {
    std::string text = r.message + "\nThe link failed at " + TransferStepName(r.failedAt) + ".";
    if (r.failedAt == TransferStep::Block) {
        text += " Nothing was sent.";
    } else if (r.failedAt == TransferStep::Table) {
        text += " The parameter block was sent; the teach table may not have arrived";
        text += toEeprom ? " and nothing was stored in the EEPROM." : ".";
    } else if (r.failedAt == TransferStep::EepromStore) {
        text += " The set is in RAM; it may not have been stored in the EEPROM.";
    }
    return text;
}

TransferResult WriteParaSet(com232::SensorLink& link, uint16_t set, bool toEeprom,
                            const ParameterBlockBytes& block, const TeachTableBytes& table) {
    TransferResult r;
    if (SendBlock(link, set, block.bytes, kParameterBlockSize) != 1) {
        return Failed(link, r, TransferStep::Block);
    }
    r.blockPlausibility = link.AnswerParam;
    if (r.blockPlausibility != 0) {
        ReportRamPlausibility(link, &r); // the teach table is sent all the same
    }
    if (SendBlock(link, static_cast<uint16_t>(set + 2), table.bytes, kTeachTableSize) != 1) {
        return Failed(link, r, TransferStep::Table);
    }
    r.tablePlausibility = link.AnswerParam;
    if (r.tablePlausibility != 0) {
        ReportRamPlausibility(link, &r);
    }
    // The store's own answer is not examined further: the sensor acknowledges
    // it without a code.
    if (toEeprom && Request(link, com232::kOrderStoreEeprom, 0) != 1) {
        return Failed(link, r, TransferStep::EepromStore);
    }
    r.ok = true;
    return r;
}

TransferResult ReadParaSet(com232::SensorLink& link, uint16_t set, bool fromEeprom,
                           ParameterBlockBytes* block, TeachTableBytes* table) {
    TransferResult r;
    if (fromEeprom) {
        if (Request(link, com232::kOrderLoadEeprom, 0) != 1) {
            return Failed(link, r, TransferStep::EepromLoad);
        }
        r.eepromPlausibility = link.AnswerParam;
        if (r.eepromPlausibility != 0) {
            link.StatusText =
                "INFO!\n" + std::to_string(link.AnswerParam) + kTextEepromPlausibility;
            r.reports += link.StatusText;
            link.message.Notify(link.StatusText);
        }
    }
    if (Request(link, com232::kOrderReadPara, set) != 1) {
        return Failed(link, r, TransferStep::Block);
    }
    // A shorter answer leaves zeros: the buffer is cleared before every request.
    ParameterBlockBytes readBlock;
    std::memcpy(readBlock.bytes, link.RxData(), kParameterBlockSize);
    if (Request(link, com232::kOrderReadPara, static_cast<uint16_t>(set + 2)) != 1) {
        return Failed(link, r, TransferStep::Table); // a half-read set is not taken
    }
    std::memcpy(table->bytes, link.RxData(), kTeachTableSize);
    *block = readBlock;
    r.ok = true;
    return r;
}

TransferResult SendPara(com232::SensorLink& link, const ParameterModel& model,
                        TransferState& transfer) {
    transfer.SendPending = 0;
    return WriteParaSet(link, transfer.SelectedParaSet, transfer.TransferTarget == kTargetEeprom,
                        model.Block(), model.Table());
}

TransferResult GetPara(com232::SensorLink& link, ParameterModel& model, TransferState& transfer) {
    transfer.GetPending = 0;
    ParameterBlockBytes block;
    TeachTableBytes table;
    const TransferResult r = ReadParaSet(link, transfer.SelectedParaSet,
                                         transfer.TransferTarget == kTargetEeprom, &block, &table);
    if (r.eepromPlausibility != 0) {
        shell::Shell().ShowPage(shell::kPageConnection); // where the report went
    }
    if (!r.ok) {
        return r; // the set stays as it was
    }
    model.Replace(block, table);
    transfer.setRead.Notify();
    return r;
}

} // namespace params
