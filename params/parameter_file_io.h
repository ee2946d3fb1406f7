// The parameter file on disk: writing a parameter set to a path and reading
// one back with everything the reader found wrong, free of any panel. SEND
// and GET with the target FILE and the command-line tool both use these.
#pragma once

#include "params/parameter_layout.h"

#include <string>
#include <vector>

namespace params {

// Writes the header, the 17 parameter keys and the 31 teach vectors to
// `path`, beside it first and renamed over it, so that a failed write leaves
// an existing file as it was. 0, or the store's negative result.
int WriteParameterFile(const std::string& path, const ParameterBlockBytes& block,
                       const TeachTableBytes& table);

// The same file as text (for a terminal or a pipe). 0, or the store's
// negative result.
int ParameterFileText(const ParameterBlockBytes& block, const TeachTableBytes& table,
                      std::string* text);

// Why the store could not write a file, for its negative result `rc`.
std::string IniWriteFailureReason(int rc);
// Text of a failed write of `path`: what, the path, the reason.
std::string FileWriteFailureText(const std::string& what, const std::string& path, int rc);

struct ParameterFileRead {
    bool storeMade = true;        // false: no memory for the store, nothing was read
    int readResult = 0;           // the store's result of reading the file (negative: failed)
    bool isParameterFile = false; // "FILE TYPE:" is "Parameter File"
    bool versionMatches = false;  // "SCOPE VERSION:" is this program's
    // The set with the file's values; missing keys hold the file defaults,
    // the `reserved` words those of the start set.
    ParameterBlockBytes block;
    TeachTableBytes table;
    // The missing-items reports (empty when all was read).
    std::string paraReport;
    std::string teachReport;
    // Keys whose integer lies outside 0..65535 and was cut to its low 16
    // bits, as "SECTION: KEY".
    std::vector<std::string> outOfRange;
    // Keys given more than once, as "SECTION: KEY": they count as missing
    // (file default, in the missing-items report), none of their values is
    // taken.
    std::vector<std::string> givenTwice;
};

// Reads `path`, starting from the set `block`, `table`.
ParameterFileRead ReadParameterFile(const std::string& path, const ParameterBlockBytes& block,
                                    const TeachTableBytes& table);
// The same for the file's text in memory (a file read from standard input).
ParameterFileRead ReadParameterFileText(const std::string& text, const ParameterBlockBytes& block,
                                        const TeachTableBytes& table);

} // namespace params
