#include "calib/hw_info_content.h"

#include "params/parameter_file_content.h"

namespace hwinfo {
namespace {

constexpr const char* kHexDigits = "0123456789ABCDEF";
constexpr const char* kChannels[3] = {"RED", "GREEN", "BLUE"};

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// Runs the puts in order and stops at the first failure.
class Putter {
public:
    explicit Putter(ini::IniStore* store) : store_(store) {}
    void String(const char* section, const char* key, const std::string& text) {
        if (rc_ >= 0) {
            rc_ = ini::Ini_PutString(store_, section, key, text);
        }
    }
    void Int(const char* section, const char* key, int value) {
        if (rc_ >= 0) {
            rc_ = ini::Ini_PutInt(store_, section, key, value);
        }
    }
    void Result(int rc) {
        if (rc_ >= 0) {
            rc_ = rc;
        }
    }
    bool Ok() const { return rc_ >= 0; }
    int Rc() const { return rc_ < 0 ? rc_ : 0; }

private:
    ini::IniStore* store_;
    int rc_ = 0;
};

} // namespace

std::string HardwareBlockText(const uint8_t* data, size_t length) {
    std::string text;
    text.reserve(kHardwareTextSize);
    for (size_t w = 0; w < kHardwareWords; ++w) {
        const size_t lo = 2 * w;
        const unsigned low = (data != nullptr && lo < length) ? data[lo] : 0u;
        const unsigned high = (data != nullptr && lo + 1 < length) ? data[lo + 1] : 0u;
        const unsigned word = (high << 8) | low;
        for (int shift = 12; shift >= 0; shift -= 4) {
            text += kHexDigits[(word >> shift) & 0xFu];
        }
    }
    return text;
}

bool HardwareBlockFromText(const std::string& text, uint8_t out[kHardwareBlockSize]) {
    if (text.size() != kHardwareTextSize) {
        return false;
    }
    for (size_t w = 0; w < kHardwareWords; ++w) {
        unsigned word = 0;
        for (size_t d = 0; d < 4; ++d) {
            const int v = HexValue(text[4 * w + d]);
            if (v < 0) {
                return false;
            }
            word = (word << 4) | static_cast<unsigned>(v);
        }
        out[2 * w] = static_cast<uint8_t>(word & 0xFFu);
        out[2 * w + 1] = static_cast<uint8_t>(word >> 8);
    }
    return true;
}

int PutHardwareInfoFile(ini::IniStore* store, const HardwareInfo& info) {
    Putter put(store);
    put.String("GENERAL INFO", "FILE TYPE:", kFileType);
    put.String("GENERAL INFO", "SCOPE VERSION:", kScopeVersion);
    put.String("GENERAL INFO", "FIRMWARE VERSION:", info.firmwareVersion);
    put.String("HARDWARE INFO", "DATA", info.dataText);
    for (int c = 0; c < 3; ++c) {
        put.Int("CALIBRATION FACTOR", kChannels[c], info.cf[c]);
    }
    for (int c = 0; c < 3; ++c) {
        put.Int("OFFSET", kChannels[c], info.offset[c]);
    }
    if (put.Ok()) {
        put.Result(params::AppendParaToIniHandle(store, info.para));
    }
    if (put.Ok()) {
        put.Result(params::AppendTechVecToIniHandle(store, info.teach));
    }
    return put.Rc();
}

} // namespace hwinfo
