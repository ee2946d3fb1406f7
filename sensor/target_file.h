// The targets file of a whole line (the command-line tool's --targets, the
// gateway's sensors): one sensor a line as the addressing options take it (HOST[:PORT], com:N or a
// device path, a serial port with its baud rate as com:N@RATE), "#" starting a comment. Read whole
// and checked before any sensor is touched. chromik3-cli find writes one.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace sensor {

struct TargetLine {
    int number = 0;                       // line number in the file
    std::string name;                     // the sensor as the file names it
    std::vector<std::string> addressArgs; // the options that address it (and its --baud)
};

// Reads `path`: a UTF-8 byte order mark (a file saved on Windows) is
// skipped, blank and comment lines too. False with one message per fault
// ("FILE:LINE: ..."): a line that names no sensor, and a sensor named twice
// (the same resolved address or device, e.g. localhost and 127.0.0.1, or
// com:3 and /dev/ttyS2), which would run twice at once into one file.
// What a target is, for finding a sensor named twice: the numeric
// endpoints its host resolves to, or its device with links followed.
std::set<std::string> TargetIdentity(const std::vector<std::string>& addressArgs);

bool ReadTargetsFile(const std::string& path, std::vector<TargetLine>* targets,
                     std::vector<std::string>* problems);

} // namespace sensor
