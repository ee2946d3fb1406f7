// Why a serial device cannot be opened: not there, not permitted for this
// user (checked as an unprivileged user, since root may open anything), or
// held by another open.
#include "platform/serial_reason.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using platform::DiagnoseSerialOpen;
using platform::SerialOpenProblem;
using platform::SerialOpenReasonText;

// A node in a fresh directory that everybody may enter.
class SerialReason : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/c3-serial-reason.XXXXXX";
        ASSERT_NE(nullptr, ::mkdtemp(tmpl));
        dir_ = tmpl;
        ::chmod(dir_.c_str(), 0755);
        node_ = dir_ + "/ttyUSB7";
        const int fd = ::open(node_.c_str(), O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    void TearDown() override {
        ::unlink(node_.c_str());
        ::rmdir(dir_.c_str());
    }
    std::string dir_;
    std::string node_;
};

TEST_F(SerialReason, AMissingDeviceIsAnUnpluggedAdapter) {
    const std::string gone = dir_ + "/ttyUSB9";
    EXPECT_EQ(SerialOpenProblem::Missing, DiagnoseSerialOpen(gone));
    EXPECT_EQ(SerialOpenProblem::Missing, DiagnoseSerialOpen(""));
    EXPECT_EQ(gone + " is not there: is the adapter plugged in?",
              SerialOpenReasonText(gone, SerialOpenProblem::Missing));
}

TEST_F(SerialReason, APermittedDeviceThatWillNotOpenIsBusy) {
    EXPECT_EQ(SerialOpenProblem::Busy, DiagnoseSerialOpen(node_));
    EXPECT_EQ(node_ + " is busy: another program holds it open.",
              SerialOpenReasonText(node_, SerialOpenProblem::Busy));
    EXPECT_EQ("", SerialOpenReasonText(node_, SerialOpenProblem::None));
}

TEST_F(SerialReason, ADeviceOfAnotherGroupNamesTheGroupToJoin) {
    // Diagnosed by a user who may not read or write the node: as root, a
    // child process that becomes "nobody"; otherwise this user, with the
    // node's permission bits taken away.
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() == 0 && nobody == nullptr) {
        GTEST_SKIP() << "no unprivileged user to test with";
    }
    if (::geteuid() != 0) {
        ::chmod(node_.c_str(), 0);
    }
    int pipeFd[2];
    ASSERT_EQ(0, ::pipe(pipeFd));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeFd[0]);
        if (::geteuid() == 0 && (::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)) {
            ::_exit(2);
        }
        const SerialOpenProblem p = DiagnoseSerialOpen(node_);
        const std::string text = SerialOpenReasonText(node_, p);
        const char kind = p == SerialOpenProblem::NotPermitted ? 'P' : 'x';
        [[maybe_unused]] ssize_t n = ::write(pipeFd[1], &kind, 1);
        n = ::write(pipeFd[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(pipeFd[1]);
    std::string got;
    char buf[256];
    for (ssize_t n; (n = ::read(pipeFd[0], buf, sizeof buf)) > 0;) {
        got.append(buf, static_cast<size_t>(n));
    }
    ::close(pipeFd[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(0, WEXITSTATUS(status));
    ASSERT_FALSE(got.empty());
    EXPECT_EQ('P', got[0]);
    struct stat st = {};
    ASSERT_EQ(0, ::stat(node_.c_str(), &st));
    const group* owner = ::getgrgid(st.st_gid);
    ASSERT_NE(nullptr, owner);
    const std::string user = ::geteuid() == 0 ? "nobody" : ::getpwuid(::getuid())->pw_name;
    EXPECT_NE(std::string::npos, got.find("Permission denied on " + node_)) << got;
    // The command names this user and the node's group, not a group it may not have.
    EXPECT_NE(std::string::npos, got.find(std::string("the group \"") + owner->gr_name + "\" ("))
        << got;
    EXPECT_NE(std::string::npos,
              got.find("adduser " + user + " " + owner->gr_name + "), then log in again."))
        << got;
}

TEST(SerialReasonHint, TheCommandWorksWithAndWithoutSudo) {
    EXPECT_EQ("sudo adduser anna dialout", platform::JoinGroupCommand("anna", "dialout", true));
    EXPECT_EQ("as root: adduser anna dialout",
              platform::JoinGroupCommand("anna", "dialout", false));
}

} // namespace
