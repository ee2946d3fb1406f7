#include "calib/hw_info_file.h"

#include "calib/calib_orders.h"
#include "calib/hw_info_content.h"
#include "link/com232.h"
#include "params/parameter_file.h"
#include "params/parameter_model.h"
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

void GenerateHWInfoFile(com232::SensorLink& link, params::TransferState& transfer,
                        params::ParameterModel& model, const HwInfoHooks& hooks) {
    auto& LinkOk = link.LinkOk;
    LinkOk = 1;
    // The parameter set from the sensor's RAM, whatever the transfer target.
    const uint16_t target = transfer.TransferTarget;
    transfer.TransferTarget = params::kTargetRam;
    params::GetPara(link, model, transfer);
    transfer.TransferTarget = target;
    if (LinkOk == 0) {
        return; // the link has reported the failure
    }
    hooks.getCalibration();
    if (LinkOk == 0) {
        return;
    }
    hwinfo::HardwareInfo info;
    if (!hwinfo::ReadHardwareBlock(link, &info.dataText)) {
        return;
    }

    std::string path;
    if (platform::FileSelectPopup(HardwareFileRequest(), &path) == platform::kNoFileSelected) {
        hooks.appendMessage(kTextHwNoFileSelected);
        return;
    }
    shell::Shell().Paths().hardwareIniFile = path;

    hooks.calibrationValues(info.cf, info.offset);
    info.firmwareVersion = link.SensorIdText;
    info.para = model.Block();
    info.teach = model.Table();

    // Written beside the target and renamed over it.
    const int rc = hwinfo::WriteHardwareInfoFile(path, info);
    if (rc < 0) {
        hooks.appendMessage(kTextHwNotSaved + path + "\n" + params::IniWriteFailureReason(rc) +
                            "\n\n");
        return;
    }
    hooks.appendMessage(kTextHwSaved + path + "\n\n");
}

} // namespace conn
