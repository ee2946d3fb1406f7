// Every file the program writes, saved through the program's own controls
// with a scripted user answering the file dialogs, and the report the
// program gives when a save fails. Shared by the in-process tests and the
// helper process that dies in the middle of a save.
#pragma once

#include "platform/popups.h"

#include <string>
#include <vector>

namespace reliability {

enum class FileKind {
    Settings,     // PanelSettings.cfg, written by ACCEPT and when the main panel closes
    Parameter,    // SEND with the transfer target FILE
    Attributes,   // SAVE on the table-attributes page
    HwInfo,       // HARDWARE INFO FILE on the connection page
    RecordHeader, // choosing an existing record file starts it afresh with its header
    RecordLine,   // MANUAL RECORD appends a line
};

struct KindInfo {
    FileKind kind;
    const char* name;     // for messages and the helper's command line
    const char* fileName; // in the test's directory
    bool replaced;        // written to a temporary file and renamed (not appended)
};

const std::vector<KindInfo>& AllKinds();
const KindInfo* KindNamed(const std::string& name);

// The path the save of `kind` writes in the program's directory `dir`.
std::string TargetPath(const KindInfo& kind, const std::string& dir);

// A valid file of the kind, as an older run of the program could have left
// it (the record file with two lines); the settings select TCP/IP to the
// sensor on `sensorPort`, so a program started on them connects.
std::string OldContent(FileKind kind, unsigned sensorPort);

// Runs the save as a user does it. The program must be running and connected;
// `closing` saves the settings by closing the main panel instead of ACCEPT.
void RunSave(const KindInfo& kind, const std::string& path, platform::ScriptedPopups& user,
             bool closing = false);

// What the program told the user about a failed save of `path`: the
// "ATTENTION!" popup, or for the hardware information file the message box
// of the connection page. Empty when nothing names the path.
std::string FailureReport(const KindInfo& kind, const std::string& path,
                          const platform::ScriptedPopups& user);

// True when the program announced the file as saved.
bool AnnouncedAsSaved(const KindInfo& kind, const std::string& path);

// Files in `dir` a write leaves behind: the INI store's "ini$$*.tmp" and the
// record file's "*.new*".
std::vector<std::string> TemporaryFiles(const std::string& dir);

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

} // namespace reliability
