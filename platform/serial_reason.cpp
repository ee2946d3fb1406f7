#include "platform/serial_reason.h"

#include <cerrno>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Name of the group that owns the node, or its number when it has no name.
std::string OwningGroup(const std::string& device) {
    struct stat st = {};
    if (::stat(device.c_str(), &st) != 0) {
        return "";
    }
    if (const struct group* g = ::getgrgid(st.st_gid)) {
        return g->gr_name;
    }
    return std::to_string(st.st_gid);
}

} // namespace

SerialOpenProblem DiagnoseSerialOpen(const std::string& device) {
    struct stat st = {};
    if (device.empty() || ::stat(device.c_str(), &st) != 0) {
        return SerialOpenProblem::Missing;
    }
    if (::access(device.c_str(), R_OK | W_OK) != 0) {
        return errno == ENOENT ? SerialOpenProblem::Missing : SerialOpenProblem::NotPermitted;
    }
    return SerialOpenProblem::Busy;
}

std::string SerialOpenReasonText(const std::string& device, SerialOpenProblem problem) {
    switch (problem) {
    case SerialOpenProblem::Missing:
        return device + " is not there: is the adapter plugged in?";
    case SerialOpenProblem::NotPermitted: {
        const std::string group = OwningGroup(device);
        return "Permission denied on " + device + ": the user must be in the group " +
               (group.empty() ? std::string("that owns it") : "\"" + group + "\"") +
               " (on Debian dialout: sudo adduser $USER dialout), then log in again.";
    }
    case SerialOpenProblem::Busy:
        return device + " is busy: another program holds it open.";
    case SerialOpenProblem::None:
        break;
    }
    return "";
}

} // namespace platform
