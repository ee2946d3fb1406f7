#include "calib/calib_orders.h"

#include "link/com232.h"

#include <algorithm>

namespace calib {

int ReadCalibration(uint16_t cf[3], uint16_t offsets[3]) {
    com232::FillTxBuf(com232::kOrderReadCalib, 0, 0);
    if (com232::DataExchange(static_cast<int>(com232::kHeaderSize)) != 1) {
        return -1;
    }
    // A shorter answer leaves zeros: the buffer is cleared before every request.
    const uint8_t* d = com232::RxData();
    for (int i = 0; i < 3; ++i) {
        cf[i] = com232::GetU16(d + 2 * i);
        offsets[i] = com232::GetU16(d + 6 + 2 * i);
    }
    return 1;
}

} // namespace calib

namespace hwinfo {

bool ReadHardwareBlock(std::string* dataText) {
    com232::FillTxBuf(com232::kOrderHardwareInfo, com232::kHardwareInfoKey, 0);
    com232::DataExchange(static_cast<int>(com232::kHeaderSize));
    if (com232::LinkOk == 0) {
        return false;
    }
    // An answer shorter than the block gives zeros for the words it lacks.
    const size_t length = std::min<size_t>(com232::AnswerLength, kHardwareBlockSize);
    *dataText = HardwareBlockText(com232::RxData(), length);
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
