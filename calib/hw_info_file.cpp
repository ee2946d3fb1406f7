#include "calib/hw_info_file.h"

#include "calib/hw_info_content.h"
#include "link/com232.h"
#include "link/link_ui.h"
#include "params/parameter_file.h"
#include "params/parameter_set.h"
#include "params/transfer.h"
#include "platform/popups.h"
#include "platform/shell_services.h"

#include <algorithm>

namespace conn {
namespace {

platform::FileSelectRequest HardwareFileRequest() {
    platform::FileSelectRequest r;
    r.directory = params::DialogDirectoryOf(shell::Shell().Paths().hardwareIniFile);
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
    using com232::LinkOk;
    LinkOk = 1;
    // The parameter set from the sensor's RAM, whatever the transfer target.
    const uint16_t target = params::TransferTarget;
    params::TransferTarget = params::kTargetRam;
    params::GetPara();
    params::TransferTarget = target;
    if (LinkOk == 0) {
        return; // the link has reported the failure
    }
    com232::Ui().GetCalibration();
    if (LinkOk == 0) {
        return;
    }
    com232::FillTxBuf(com232::kOrderHardwareInfo, com232::kHardwareInfoKey, 0);
    com232::DataExchange(static_cast<int>(com232::kHeaderSize));
    if (LinkOk == 0) {
        return;
    }
    // An answer shorter than the block gives zeros for the words it lacks.
    const size_t length = std::min<size_t>(com232::AnswerLength, hwinfo::kHardwareBlockSize);
    hwinfo::HardwareInfo info;
    info.dataText = hwinfo::HardwareBlockText(com232::RxData(), length);

    std::string path;
    if (platform::FileSelectPopup(HardwareFileRequest(), &path) == platform::kNoFileSelected) {
        com232::Ui().AppendMessage(kTextHwNoFileSelected);
        return;
    }
    shell::Shell().Paths().hardwareIniFile = path;

    com232::Ui().CalibrationValues(info.cf, info.offset);
    info.firmwareVersion = com232::SensorIdText;
    info.para = params::ParameterBlock;
    info.teach = params::TeachTable;

    ini::IniStorePtr store = ini::MakeIniStore();
    int rc = store ? hwinfo::PutHardwareInfoFile(store.get(), info) : ini::kIniErrNoMemory;
    if (rc >= 0) {
        // Written beside the target and renamed over it.
        rc = ini::Ini_WriteToFile(store.get(), path);
    }
    if (rc < 0) {
        com232::Ui().AppendMessage(kTextHwNotSaved + path + "\n" +
                                   params::IniWriteFailureReason(rc) + "\n\n");
        return;
    }
    com232::Ui().AppendMessage(kTextHwSaved + path + "\n\n");
}

} // namespace conn
