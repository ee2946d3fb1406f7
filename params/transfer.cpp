#include "params/transfer.h"

#include "link/com232.h"
#include "params/parameter_file.h"
#include "params/parameter_model.h"
#include "platform/shell_services.h"

namespace params {

int TransferCommands::CBF_ButtonSend(QWidget*, ctl::Event event) {
    if (event != ctl::Event::Commit) {
        return 0;
    }
    if (transfer_.TransferTarget == kTargetFile) {
        file_.SendParaToFile();
    } else if (link_.AcquisitionRunning == 0) {
        shell::Shell().SetButtonsDimmed(0, 1);
        SendPara(link_, model_, transfer_);
        shell::Shell().SetButtonsDimmed(0, 0);
    } else {
        transfer_.SendPending = 1;
    }
    return 0;
}

int TransferCommands::CBF_ButtonGet(QWidget*, ctl::Event event) {
    if (event != ctl::Event::Commit) {
        return 0;
    }
    if (transfer_.TransferTarget == kTargetFile) {
        file_.ReadParaFromFile();
    } else if (link_.AcquisitionRunning == 0) {
        shell::Shell().SetButtonsDimmed(0, 1);
        GetPara(link_, model_, transfer_);
        shell::Shell().SetButtonsDimmed(0, 0);
    } else {
        transfer_.GetPending = 1;
    }
    return 0;
}

} // namespace params
