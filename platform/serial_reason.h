// Why a serial device cannot be opened, in words an engineer can act on:
// not there (an unplugged adapter), not permitted (the user is not in the
// group that owns the device) or busy (another program holds it). The open
// itself reports only a code; this looks at the device node.
#pragma once

#include <string>

namespace platform {

enum class SerialOpenProblem { None, Missing, NotPermitted, Busy };

// What keeps `device` from being opened for reading and writing by this
// process: Missing when no node is there, NotPermitted when the node's
// permissions refuse this user, otherwise Busy (the node is there and
// permitted, so another open holds it).
SerialOpenProblem DiagnoseSerialOpen(const std::string& device);

// The reason as one line for the message box; empty for None.
std::string SerialOpenReasonText(const std::string& device, SerialOpenProblem problem);

// The command that puts `user` into `group`: through sudo where it is
// installed, otherwise to be typed as root ("as root: adduser ...").
std::string JoinGroupCommand(const std::string& user, const std::string& group, bool haveSudo);

} // namespace platform
