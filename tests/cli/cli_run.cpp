#include "tests/cli/cli_run.h"

#include "tests/support/file_bytes.h"

#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

CliRun RunCli(const std::string& dir, const std::vector<std::string>& args,
              const CliStreams& streams) {
    return WaitCli(dir, StartCli(dir, args, streams));
}

int StartCli(const std::string& dir, const std::vector<std::string>& args,
             const CliStreams& streams) {
    const std::string outPath = dir + "/cli.out";
    const std::string errPath = dir + "/cli.err";
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(C3_CLI_EXECUTABLE));
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int in =
            ::open(streams.stdinPath.empty() ? "/dev/null" : streams.stdinPath.c_str(), O_RDONLY);
        const int out =
            streams.stdoutFd >= 0
                ? streams.stdoutFd
                : ::open(streams.stdoutPath.empty() ? outPath.c_str() : streams.stdoutPath.c_str(),
                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        if (streams.stdoutFd >= 0 || !streams.stdoutPath.empty()) {
            ::close(::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)); // no stale output
        }
        for (const std::string& e : streams.env) {
            ::putenv(const_cast<char*>(e.c_str()));
        }
        if (::chdir(dir.c_str()) != 0) {
            ::_exit(126);
        }
        if (streams.asNobody && ::getuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(126);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

CliRun WaitCli(const std::string& dir, int pid) {
    CliRun run;
    int status = 0;
    // A run that does not end fails its test instead of hanging the suite.
    bool ended = false;
    for (int i = 0; i < 6000 && !ended; ++i) {
        ended = ::waitpid(pid, &status, WNOHANG) == pid;
        if (!ended) {
            ::usleep(10000);
        }
    }
    if (!ended) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = testfiles::ReadBytes(dir + "/cli.out");
    run.err = testfiles::ReadBytes(dir + "/cli.err");
    return run;
}

unsigned ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

size_t CountLines(const std::string& text, const std::string& part) {
    std::istringstream in(text);
    size_t n = 0;
    for (std::string line; std::getline(in, line);) {
        n += line.find(part) != std::string::npos ? 1 : 0;
    }
    return n;
}
