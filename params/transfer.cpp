#include "params/transfer.h"

#include "link/com232.h"
#include "link/program_link.h"
#include "params/mode_rules.h"
#include "params/parameter_file.h"
#include "params/parameter_model.h"
#include "params/transfer_ops.h"
#include "platform/shell_services.h"

namespace params {

uint16_t TransferTarget = kTargetRam;
uint16_t SelectedParaSet = 0;
uint16_t SendPending = 0;
uint16_t GetPending = 0;

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
    WriteParaSet(com232::ProgramLink(), SelectedParaSet, TransferTarget == kTargetEeprom,
                 Model().Block(), Model().Table());
}

void GetPara() {
    GetPending = 0;
    ParameterBlockBytes block;
    TeachTableBytes table;
    const TransferResult r = ReadParaSet(com232::ProgramLink(), SelectedParaSet,
                                         TransferTarget == kTargetEeprom, &block, &table);
    if (r.eepromPlausibility != 0) {
        shell::Shell().ShowPage(shell::kPageConnection); // where the report went
    }
    if (!r.ok) {
        return; // the set stays as it was
    }
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
    } else if (com232::ProgramLink().AcquisitionRunning == 0) {
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
    } else if (com232::ProgramLink().AcquisitionRunning == 0) {
        shell::Shell().SetButtonsDimmed(0, 1);
        GetPara();
        shell::Shell().SetButtonsDimmed(0, 0);
    } else {
        GetPending = 1;
    }
    return 0;
}

} // namespace params
