#include "platform/com_port_map.h"

#include <climits>
#include <cstdlib>

namespace platform {
namespace {

struct Family {
    const char* prefix;
    int firstPort;
    int lastPort;
};

constexpr Family kFamilies[] = {
    {"/dev/ttyS", kComTtySBase, kComTtyUsbBase - 1},
    {"/dev/ttyUSB", kComTtyUsbBase, kComTtyAcmBase - 1},
    {"/dev/ttyACM", kComTtyAcmBase, 300},
    {"/dev/pts/", kComPtsBase, kComPtsLast},
};

} // namespace

std::string ComPortToDevice(int comPort) {
    for (const Family& f : kFamilies) {
        if (comPort >= f.firstPort && comPort <= f.lastPort) {
            return f.prefix + std::to_string(comPort - f.firstPort);
        }
    }
    return {};
}

int DeviceToComPort(const std::string& device) {
    for (const Family& f : kFamilies) {
        const std::string prefix = f.prefix;
        if (device.size() <= prefix.size() || device.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        const std::string digits = device.substr(prefix.size());
        if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos ||
            (digits.size() > 1 && digits[0] == '0')) {
            return -1;
        }
        const int port = f.firstPort + std::atoi(digits.c_str());
        return port <= f.lastPort ? port : -1;
    }
    return -1;
}

std::string CanonicalDevicePath(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        return path;
    }
    return resolved;
}

} // namespace platform
