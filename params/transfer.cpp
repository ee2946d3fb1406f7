#include "params/transfer.h"

#include "app/panels.h"
#include "app/shell.h"
#include "link/com232.h"
#include "link/link_ui.h"
#include "params/mode_rules.h"
#include "params/parameter_file.h"
#include "params/parameter_set.h"
#include "platform/tab_control.h"

#include <QRadioButton>

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

void SetChecked(QRadioButton* r, bool on) {
    if (r != nullptr) {
        QSignalBlocker block(r);
        r->setChecked(on);
    }
}

} // namespace

void ResetTransferState() {
    TransferTarget = kTargetRam;
    SelectedParaSet = 0;
    SendPending = 0;
    GetPending = 0;
}

void SendPara() {
    SendPending = 0;
    GetPanelValues();
    if (SendBlock(SelectedParaSet, ParameterBlock.bytes, kParameterBlockSize) != 1) {
        return;
    }
    if (com232::AnswerParam != 0) {
        ReportRamPlausibility(); // the teach table is sent all the same
    }
    if (SendBlock(static_cast<uint16_t>(SelectedParaSet + 2), TeachTable.bytes, kTeachTableSize) !=
        1) {
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
            app::P().main.tabs->SetActivePage(app::kPageConnection);
            com232::StatusText =
                "INFO!\n" + std::to_string(com232::AnswerParam) + kTextEepromPlausibility;
            com232::Ui().AppendMessage(com232::StatusText);
        }
    }
    if (Request(com232::kOrderReadPara, SelectedParaSet) != 1) {
        return;
    }
    // A shorter answer leaves zeros: the buffer is cleared before every request.
    std::memcpy(ParameterBlock.bytes, com232::RxData(), kParameterBlockSize);
    if (Request(com232::kOrderReadPara, static_cast<uint16_t>(SelectedParaSet + 2)) != 1) {
        return;
    }
    std::memcpy(TeachTable.bytes, com232::RxData(), kTeachTableSize);
    SetPanelValues();
    ApplyRulesAfterRead();
}

void SelectTransferTarget(uint16_t target) {
    app::MainPanel& m = app::P().main;
    SetChecked(m.ram, target == kTargetRam);
    SetChecked(m.eeprom, target == kTargetEeprom);
    SetChecked(m.file, target == kTargetFile);
    TransferTarget = target;
}

void SelectParaSet(uint16_t set) {
    app::MainPanel& m = app::P().main;
    SetChecked(m.set0, set == 0);
    SetChecked(m.set1, set == 1);
    SelectedParaSet = set;
}

int CBF_ButtonSend(QWidget*, ctl::Event event) {
    if (event != ctl::Event::Commit) {
        return 0;
    }
    if (TransferTarget == kTargetFile) {
        SendParaToFile();
    } else if (com232::AcquisitionRunning == 0) {
        app::SetButtonsDimmed(0, 1);
        SendPara();
        app::SetButtonsDimmed(0, 0);
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
        app::SetButtonsDimmed(0, 1);
        GetPara();
        app::SetButtonsDimmed(0, 0);
    } else {
        GetPending = 1;
    }
    return 0;
}

int CBF_SelectMem(QWidget* control, ctl::Event event) {
    if (event != ctl::Event::Commit) {
        return 0;
    }
    app::MainPanel& m = app::P().main;
    if (control == m.ram) {
        SelectTransferTarget(kTargetRam);
    } else if (control == m.eeprom) {
        SelectTransferTarget(kTargetEeprom);
    } else if (control == m.file) {
        SelectTransferTarget(kTargetFile);
    }
    return 0;
}

int CBF_SelectParaSet(QWidget* control, ctl::Event event) {
    if (event != ctl::Event::Commit) {
        return 0;
    }
    app::MainPanel& m = app::P().main;
    if (control == m.set0) {
        SelectParaSet(0);
    } else if (control == m.set1) {
        SelectParaSet(1);
    }
    return 0;
}

} // namespace params
