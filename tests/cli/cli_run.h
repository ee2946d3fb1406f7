// Runs the built chromik3-cli as a script would and keeps what it said.
#pragma once

#include <string>
#include <vector>

struct CliRun {
    int status = -1; // exit status; 128 + N after signal N
    std::string out;
    std::string err;
};

// Runs the tool with `args` in `dir`, standard output and error into files
// there; waits for it.
CliRun RunCli(const std::string& dir, const std::vector<std::string>& args);

// The same in two steps, for a run that is signalled while it works.
int StartCli(const std::string& dir, const std::vector<std::string>& args);
CliRun WaitCli(const std::string& dir, int pid);

// A local TCP port on which nothing listens: a connection is refused at once.
unsigned ClosedPort();

// The lines of `text` that contain `part`.
size_t CountLines(const std::string& text, const std::string& part);
