#include "params/transfer.h"

#include "link/com232.h"
#include "link/program_link.h"
#include "params/mode_rules.h"
#include "params/parameter_file.h"
#include "params/parameter_model.h"
#include "params/transfer_ops.h"
#include "platform/shell_services.h"

namespace params {

void SendPara() {
    Transfer().SendPending = 0;
    WriteParaSet(com232::ProgramLink(), Transfer().SelectedParaSet,
                 Transfer().TransferTarget == kTargetEeprom, Model().Block(), Model().Table());
}

void GetPara() {
    Transfer().GetPending = 0;
    ParameterBlockBytes block;
    TeachTableBytes table;
    const TransferResult r =
        ReadParaSet(com232::ProgramLink(), Transfer().SelectedParaSet,
                    Transfer().TransferTarget == kTargetEeprom, &block, &table);
    if (r.eepromPlausibility != 0) {
        shell::Shell().ShowPage(shell::kPageConnection); // where the report went
    }
    if (!r.ok) {
        return; // the set stays as it was
    }
    Model().Replace(block, table);
    ApplyRulesAfterRead();
}

int CBF_ButtonSend(QWidget*, ctl::Event event) {
    if (event != ctl::Event::Commit) {
        return 0;
    }
    if (Transfer().TransferTarget == kTargetFile) {
        SendParaToFile();
    } else if (com232::ProgramLink().AcquisitionRunning == 0) {
        shell::Shell().SetButtonsDimmed(0, 1);
        SendPara();
        shell::Shell().SetButtonsDimmed(0, 0);
    } else {
        Transfer().SendPending = 1;
    }
    return 0;
}

int CBF_ButtonGet(QWidget*, ctl::Event event) {
    if (event != ctl::Event::Commit) {
        return 0;
    }
    if (Transfer().TransferTarget == kTargetFile) {
        ReadParaFromFile();
    } else if (com232::ProgramLink().AcquisitionRunning == 0) {
        shell::Shell().SetButtonsDimmed(0, 1);
        GetPara();
        shell::Shell().SetButtonsDimmed(0, 0);
    } else {
        Transfer().GetPending = 1;
    }
    return 0;
}

} // namespace params
