// A file system of the helper process's own that is really full or really
// read-only, made in a mount namespace of its own so that nothing else on
// the machine sees it. Needs the right to mount (root with CAP_SYS_ADMIN, or
// unprivileged user namespaces); where neither is granted the test skips.
#pragma once

#include <string>

namespace reliability {

// Enters a mount namespace of this process's own (a user namespace too when
// that is the only way) whose mounts do not propagate. Call it while the
// process has a single thread. False with the reason when it is not allowed.
bool EnterPrivateMountNamespace(std::string* why);

// Mounts `dir` read-only onto itself.
bool MountReadOnly(const std::string& dir, std::string* why);

// Mounts a small tmpfs on `dir`.
bool MountSmallTmpfs(const std::string& dir, std::string* why);

// Fills the file system holding `dir` with the file `dir`/filler until no
// block is left. False when it could not.
bool FillUp(const std::string& dir, std::string* why);

} // namespace reliability
