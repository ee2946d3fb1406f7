#include "calib/calib_orders.h"

#include "link/com232.h"

#include <algorithm>

namespace calib {

int ReadCalibration(com232::SensorLink& link, uint16_t cf[3], uint16_t offsets[3]) {
    link.FillTxBuf(com232::kOrderReadCalib, 0, 0);
    if (link.DataExchange(static_cast<int>(com232::kHeaderSize)) != 1) {
        return -1;
    }
    // A shorter answer leaves zeros: the buffer is cleared before every request.
    const uint8_t* d = link.RxData();
    for (int i = 0; i < 3; ++i) {
        cf[i] = com232::GetU16(d + 2 * i);
        offsets[i] = com232::GetU16(d + 6 + 2 * i);
    }
    return 1;
}

} // namespace calib

namespace hwinfo {

bool ReadHardwareBlock(com232::SensorLink& link, std::string* dataText) {
    link.FillTxBuf(com232::kOrderHardwareInfo, com232::kHardwareInfoKey, 0);
    link.DataExchange(static_cast<int>(com232::kHeaderSize));
    if (link.LinkOk == 0) {
        return false;
    }
    // An answer shorter than the block gives zeros for the words it lacks.
    const size_t length = std::min<size_t>(link.AnswerLength, kHardwareBlockSize);
    *dataText = HardwareBlockText(link.RxData(), length);
    return true;
}

int WriteHardwareInfoFile(const std::string& path, const HardwareInfo& info) {
    ini::IniStorePtr store = ini::MakeIniStore();
    int rc = store ? PutHardwareInfoFile(store.get(), info) : ini::kIniErrNoMemory;
    if (rc >= 0) {
        rc = ini::Ini_WriteToFile(store.get(), path);
    }
    return rc;
}

} // namespace hwinfo
