#include "platform/serial_reason.h"

#include <cerrno>
#include <cstdlib>
#include <grp.h>
#include <pwd.h>
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

std::string UserName() {
    if (const struct passwd* pw = ::getpwuid(::getuid())) {
        return pw->pw_name;
    }
    const char* user = std::getenv("USER");
    return user != nullptr ? user : "";
}

bool HaveSudo() {
    for (const char* dir : {"/usr/bin/", "/bin/", "/usr/local/bin/", "/usr/sbin/", "/sbin/"}) {
        if (::access((std::string(dir) + "sudo").c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string JoinGroupCommand(const std::string& user, const std::string& group, bool haveSudo) {
    const std::string command = "adduser " + user + " " + group;
    return haveSudo ? "sudo " + command : "as root: " + command;
}

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
        const std::string user = UserName();
        // A group without a name (a number) cannot be joined by adduser.
        const bool named =
            !group.empty() && group.find_first_not_of("0123456789") != std::string::npos;
        std::string text = "Permission denied on " + device + ": the user must be in the group " +
                           (group.empty() ? std::string("that owns it") : "\"" + group + "\"");
        if (named && !user.empty()) {
            text += " (" + JoinGroupCommand(user, group, HaveSudo()) + ")";
        }
        return text + ", then log in again.";
    }
    case SerialOpenProblem::Busy:
        return device + " is busy: another program holds it open.";
    case SerialOpenProblem::None:
        break;
    }
    return "";
}

} // namespace platform
