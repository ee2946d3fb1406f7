// One program window among several: the settings file this window uses, the
// warning when another window already uses it, and the window title that
// names the sensor.
#pragma once

#include <string>
#include <vector>

namespace params {
class ParameterModel;
}

namespace app {

// Uses `path` as the settings file instead of PanelSettings.cfg in the
// project directory (an empty path restores that).
void SetPanelSettingsPathOverride(const std::string& path);
const std::string& PanelSettingsPathOverride();

// Marks the settings file as used by this window for as long as the program
// runs. False when another running window already uses it.
bool ClaimPanelSettingsFile(const std::string& path);
void ReleasePanelSettingsFile();

// The warning shown when another window uses the same settings file.
std::string SharedSettingsWarning(const std::string& path);

// Sets the main window's title from the identification field.
void UpdateWindowTitle();

// SIGTERM (logging out, `kill`) and SIGINT (Ctrl-C in the terminal) close
// the main window as its close box does, so the settings are saved.
void InstallTerminationHandler();

// Handles --help, --version and --settings; returns -1 to go on starting,
// otherwise the exit status (0 after --help or --version, 1 after a wrong
// command line, with the message on stderr). Called before the run-time
// starts, so that a wrong command line needs no display.
int HandleCommandLine(int argc, char** argv);
// The record files named with --view; the program then shows only them.
const std::vector<std::string>& ViewFilesOfCommandLine();
// --export and --span of the command line (empty without them).
const std::string& ExportFileOfCommandLine();
const std::string& SpanOfCommandLine();
// What --params reported of a parameter file read all the same (the keys it
// lacks); the viewers show it in their status line. Empty when nothing.
const std::string& ViewNoteOfCommandLine();
// --params: reads the parameter file at `path` into the parameter model, so
// the viewers alone draw its teach table. False when the file cannot be
// read or is not a parameter file; *message then says why, and otherwise
// lists what the file lacks (kept at the file defaults), or is empty.
// The parameter model that record viewers without a window (--view,
// --export) draw the taught rows of: the palette's colours and no taught
// rows, unless --params named a parameter file.
params::ParameterModel& ViewerModel();
bool LoadViewParameters(const std::string& path, std::string* message);

} // namespace app
