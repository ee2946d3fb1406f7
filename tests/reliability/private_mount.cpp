#include "tests/reliability/private_mount.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace reliability {
namespace {

bool Fail(std::string* why, const std::string& what) {
    *why = what + ": " + std::strerror(errno);
    return false;
}

bool WriteText(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
}

} // namespace

bool EnterPrivateMountNamespace(std::string* why) {
    if (::unshare(CLONE_NEWNS) != 0) {
        // Without the right to mount: a user namespace in which this user is
        // root, if the system allows it.
        const uid_t uid = ::getuid();
        const gid_t gid = ::getgid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            return Fail(why, "no mount namespace");
        }
        if (!WriteText("/proc/self/setgroups", "deny") ||
            !WriteText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !WriteText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
            return Fail(why, "no user mapping");
        }
    }
    // Mounts made from now on stay in this namespace.
    if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return Fail(why, "cannot make the mounts private");
    }
    return true;
}

bool MountReadOnly(const std::string& dir, std::string* why) {
    if (::mount(dir.c_str(), dir.c_str(), nullptr, MS_BIND, nullptr) != 0) {
        return Fail(why, "bind mount of " + dir);
    }
    if (::mount(nullptr, dir.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        return Fail(why, "read-only remount of " + dir);
    }
    return true;
}

bool MountSmallTmpfs(const std::string& dir, std::string* why) {
    if (::mount("c3full", dir.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=256k,mode=0755") != 0) {
        return Fail(why, "tmpfs on " + dir);
    }
    return true;
}

bool FillUp(const std::string& dir, std::string* why) {
    const std::string path = dir + "/filler";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return Fail(why, "cannot create " + path);
    }
    static const char block[4096] = {};
    for (;;) {
        const ssize_t n = ::write(fd, block, sizeof block);
        if (n > 0) {
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        const int error = n < 0 ? errno : EIO;
        ::close(fd);
        errno = error;
        return error == ENOSPC || Fail(why, "filling " + dir);
    }
}

} // namespace reliability
