// The simulator executable as a user starts it: its first line says where it
// listens, the link exchanges with it, and "quit" on standard input ends it.
#include "link/com232.h"
#include "platform/runtime.h"
#include "tests/support/recording_link_hooks.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace com232;

TEST(SimulatorProcess, ListensAnswersAndQuits) {
    int toSim[2];
    int fromSim[2];
    ASSERT_EQ(0, ::pipe(toSim));
    ASSERT_EQ(0, ::pipe(fromSim));
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(toSim[0], 0);
        ::dup2(fromSim[1], 1);
        ::close(toSim[1]);
        ::close(fromSim[0]);
        ::execl(C3_SIM_EXECUTABLE, C3_SIM_EXECUTABLE, "--tcp", "0", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(toSim[0]);
    ::close(fromSim[1]);
    FILE* out = ::fdopen(fromSim[0], "r");
    char line[256] = {};
    ASSERT_NE(nullptr, std::fgets(line, sizeof line, out));
    const std::string first = line;
    const std::string tag = "listening on tcp 127.0.0.1:";
    const size_t at = first.find(tag);
    ASSERT_NE(std::string::npos, at) << first;
    const unsigned port = static_cast<unsigned>(std::stoul(first.substr(at + tag.size())));

    RecordingLinkHooks ui;
    SensorLink link_;
    ui.Watch(link_);
    link_.ComProtocol = kProtocolTcp;
    link_.ServerAddress = "127.0.0.1";
    link_.ServerPort = port;
    link_.InitTCP_IP();
    ASSERT_GE(link_.LinkResult, 0) << ui.messages;
    link_.FillTxBuf(kOrderLiveData, 0, 0);
    EXPECT_EQ(1, link_.DataExchange(8));
    EXPECT_EQ(40, link_.AnswerLength);
    link_.CloseLink();

    ASSERT_EQ(5, ::write(toSim[1], "quit\n", 5));
    int status = 0;
    for (int i = 0; i < 50 && ::waitpid(pid, &status, WNOHANG) == 0; ++i) {
        ::usleep(100000);
    }
    if (::waitpid(pid, &status, WNOHANG) == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        FAIL() << "the simulator did not end on quit";
    }
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status));
    ::close(toSim[1]);
    std::fclose(out);
}
