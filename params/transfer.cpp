#include "params/transfer.h"

#include "link/com232.h"
#include "link/link_ui.h"
#include "params/mode_rules.h"
#include "params/parameter_file.h"
#include "params/parameter_model.h"
#include "platform/shell_services.h"

#include <cstring>
#include <string>

namespace params {

uint16_t TransferTarget = kTargetRam;
uint16_t SelectedParaSet = 0;
uint16_t SendPending = 0;
uint16_t GetPending = 0;

namespace {

// Puts a block into the request data area and exchanges order `order`.
int SendBlock(uint16_t param, const uint8_t* data, size_t size) {
    std::memcpy(com232::TxData(), data, size);
    com232::FillTxBuf(com232::kOrderWritePara, param, static_cast<uint16_t>(size));
    return com232::DataExchange(static_cast<int>(com232::kHeaderSize + size));
}

void ReportRamPlausibility() {
    com232::StatusText = "INFO!\n" + std::to_string(com232::AnswerParam) + kTextRamPlausibility;
    com232::SetTimeout();
}

int Request(uint8_t order, uint16_t param) {
    com232::FillTxBuf(order, param, 0);
    return com232::DataExchange(static_cast<int>(com232::kHeaderSize));
}

} // namespace

void ResetTransferState() {
    TransferTarget = kTargetRam;
    SelectedParaSet = 0;
    SendPending = 0;
    GetPending = 0;
}

platform::Notifier<>& TransferSelectionChanged() {
    static platform::Notifier<> changed;
    return changed;
}

void SendPara() {
    SendPending = 0;
    const ParameterModel& model = Model();
    if (SendBlock(SelectedParaSet, model.Block().bytes, kParameterBlockSize) != 1) {
        return;
    }
    if (com232::AnswerParam != 0) {
        ReportRamPlausibility(); // the teach table is sent all the same
    }
    if (SendBlock(static_cast<uint16_t>(SelectedParaSet + 2), model.Table().bytes,
                  kTeachTableSize) != 1) {
        return;
    }
    if (com232::AnswerParam != 0) {
        ReportRamPlausibility();
    }
    if (TransferTarget == kTargetEeprom) {
        Request(com232::kOrderStoreEeprom, 0);
    }
}

void GetPara() {
    GetPending = 0;
    if (TransferTarget == kTargetEeprom) {
        if (Request(com232::kOrderLoadEeprom, 0) != 1) {
            return;
        }
        if (com232::AnswerParam != 0) {
            shell::Shell().ShowPage(shell::kPageConnection);
            com232::StatusText =
                "INFO!\n" + std::to_string(com232::AnswerParam) + kTextEepromPlausibility;
            com232::Ui().AppendMessage(com232::StatusText);
        }
    }
    if (Request(com232::kOrderReadPara, SelectedParaSet) != 1) {
        return;
    }
    // A shorter answer leaves zeros: the buffer is cleared before every request.
    ParameterBlockBytes block;
    std::memcpy(block.bytes, com232::RxData(), kParameterBlockSize);
    if (Request(com232::kOrderReadPara, static_cast<uint16_t>(SelectedParaSet + 2)) != 1) {
        return; // the set stays as it was: a half-read set is not taken
    }
    TeachTableBytes table;
    std::memcpy(table.bytes, com232::RxData(), kTeachTableSize);
    Model().Replace(block, table);
    ApplyRulesAfterRead();
}

void SelectTransferTarget(uint16_t target) {
    TransferTarget = target;
    TransferSelectionChanged().Notify();
}

namespace {
bool gParaSetSelectable = false;
} // namespace

bool ParaSetSelectable() {
    return gParaSetSelectable;
}

void SetParaSetSelectable(bool selectable) {
    gParaSetSelectable = selectable;
    TransferSelectionChanged().Notify();
}

void SelectParaSet(uint16_t set) {
    SelectedParaSet = set;
    TransferSelectionChanged().Notify();
}

int CBF_ButtonSend(QWidget*, ctl::Event event) {
    if (event != ctl::Event::Commit) {
        return 0;
    }
    if (TransferTarget == kTargetFile) {
        SendParaToFile();
    } else if (com232::AcquisitionRunning == 0) {
        shell::Shell().SetButtonsDimmed(0, 1);
        SendPara();
        shell::Shell().SetButtonsDimmed(0, 0);
    } else {
        SendPending = 1;
    }
    return 0;
}

int CBF_ButtonGet(QWidget*, ctl::Event event) {
    if (event != ctl::Event::Commit) {
        return 0;
    }
    if (TransferTarget == kTargetFile) {
        ReadParaFromFile();
    } else if (com232::AcquisitionRunning == 0) {
        shell::Shell().SetButtonsDimmed(0, 1);
        GetPara();
        shell::Shell().SetButtonsDimmed(0, 0);
    } else {
        GetPending = 1;
    }
    return 0;
}

} // namespace params
