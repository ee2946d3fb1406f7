#include "calib/hw_info_file.h"

#include "calib/calib_orders.h"
#include "calib/hw_info_content.h"
#include "link/com232.h"
#include "link/link_ui.h"
#include "link/program_link.h"
#include "params/parameter_file.h"
#include "params/parameter_set.h"
#include "params/transfer.h"
#include "platform/popups.h"
#include "platform/shell_services.h"

namespace conn {
namespace {

platform::FileSelectRequest HardwareFileRequest() {
    const std::string& last = shell::Shell().Paths().hardwareIniFile;
    shell::Shell().PrepareFolderOf(last);
    platform::FileSelectRequest r;
    r.directory = params::DialogDirectoryOf(last);
    r.defaultName = hwinfo::kDefaultFileName;
    r.filter = "*.ini";
    r.title = "HardwareInitialFile";
    r.buttonLabel = "Save";
    r.allowCancel = true;
    r.allowMakeDirectory = true;
    return r;
}

} // namespace

void GenerateHWInfoFile() {
    auto& LinkOk = com232::ProgramLink().LinkOk;
    LinkOk = 1;
    // The parameter set from the sensor's RAM, whatever the transfer target.
    const uint16_t target = params::Transfer().TransferTarget;
    params::Transfer().TransferTarget = params::kTargetRam;
    params::GetPara();
    params::Transfer().TransferTarget = target;
    if (LinkOk == 0) {
        return; // the link has reported the failure
    }
    com232::Ui().GetCalibration();
    if (LinkOk == 0) {
        return;
    }
    hwinfo::HardwareInfo info;
    if (!hwinfo::ReadHardwareBlock(com232::ProgramLink(), &info.dataText)) {
        return;
    }

    std::string path;
    if (platform::FileSelectPopup(HardwareFileRequest(), &path) == platform::kNoFileSelected) {
        com232::Ui().AppendMessage(kTextHwNoFileSelected);
        return;
    }
    shell::Shell().Paths().hardwareIniFile = path;

    com232::Ui().CalibrationValues(info.cf, info.offset);
    info.firmwareVersion = com232::ProgramLink().SensorIdText;
    info.para = params::ParameterBlock;
    info.teach = params::TeachTable;

    // Written beside the target and renamed over it.
    const int rc = hwinfo::WriteHardwareInfoFile(path, info);
    if (rc < 0) {
        com232::Ui().AppendMessage(kTextHwNotSaved + path + "\n" +
                                   params::IniWriteFailureReason(rc) + "\n\n");
        return;
    }
    com232::Ui().AppendMessage(kTextHwSaved + path + "\n\n");
}

} // namespace conn
