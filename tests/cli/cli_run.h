// Runs the built chromik3-cli as a script would and keeps what it said.
#pragma once

#include <string>
#include <vector>

struct CliRun {
    int status = -1; // exit status; 128 + N after signal N
    std::string out;
    std::string err;
};

// Where the tool's standard streams go, and its environment.
struct CliStreams {
    std::string stdinPath;        // empty: /dev/null
    std::string stdoutPath;       // empty: a file in the run's directory, read afterwards
    int stdoutFd = -1;            // a pipe instead of a file
    std::vector<std::string> env; // NAME=VALUE set for the run
    bool asNobody = false;        // run as user nobody when the tests run as root
};

// Runs the tool with `args` in `dir`, standard output and error into files
// there; waits for it.
CliRun RunCli(const std::string& dir, const std::vector<std::string>& args,
              const CliStreams& streams = {});

// The same in two steps, for a run that is signalled while it works.
int StartCli(const std::string& dir, const std::vector<std::string>& args,
             const CliStreams& streams = {});
// A run that has not ended after 60 s is killed (status 128 + 9).
CliRun WaitCli(const std::string& dir, int pid);

// A local TCP port on which nothing listens: a connection is refused at once.
unsigned ClosedPort();

// The lines of `text` that contain `part`.
size_t CountLines(const std::string& text, const std::string& part);
