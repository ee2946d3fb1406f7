// Runs the reliability helper (helper_main.cpp) as a process of its own.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace reliability {

// Exit code of the helper when this machine does not let it mount.
constexpr int kHelperCannotMount = 77;

// Starts the helper with `args`; its standard output and error go to
// `logPath`. -1 when it could not be started.
pid_t StartHelper(const std::vector<std::string>& args, const std::string& logPath);
// True while the helper runs.
bool HelperRunning(pid_t pid);
// Waits up to `seconds` for the helper to end, killing it after that; its
// wait status.
int WaitForHelper(pid_t pid, double seconds);
// "exit 3", "killed by signal 9", for messages.
std::string DescribeStatus(int status);

} // namespace reliability
