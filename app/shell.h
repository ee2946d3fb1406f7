// The program frame: start-up, the main panel callbacks, the one visible
// child display panel, and the dimming of commands while one runs.
#pragma once

#include "app/command_line.h"
#include "platform/controls.h"
#include "platform/shell_services.h"

#include <string>
#include <vector>

class QWidget;
namespace record {
class RecordViewers;
}
namespace sensor {
class Sensor;
}

namespace app {

inline constexpr const char* kProgramTitle = shell::kProgramTitle;
inline constexpr const char* kPanelSettingsFileName = "PanelSettings.cfg";

// Program entry; 0 after a normal end, -1 when a panel cannot be built.
int WinMain(int argc, char** argv);

// Start-up sequence after the panels are built.
void InitAll();

// Builds the panels, sets the title and places the child panels (the part of
// start-up before InitAll). False when a panel cannot be built.
bool LoadAndPreparePanels(sensor::Sensor& sensor);
// The record viewer alone for `files` (--view): no panels, no link, no
// settings; returns when the last viewer window closes.
int RunViewerAlone(const std::vector<std::string>& files);
// Opens a viewer window for each of `files` (--view, files dropped).
void OpenViewFiles(record::RecordViewers& viewers, const std::vector<std::string>& files);
// The program's record viewer windows.
record::RecordViewers& Viewers();
// Closes the viewer windows and the link and discards the panels.
void Shutdown();

// Gives the main panel's controls their help texts and callbacks.
void WireMainPanel();
// Wires every panel (start-up).
void WireAllPanels();

int CBF_MAINP(QWidget* panel, ctl::Event event);
// Callback of the main tab control: its page buttons' help, and the rules
// for the page the user has chosen (event ActivePageChanged).
int CBF_TabMain1(QWidget* control, ctl::Event event);
// The transfer selectors of the main panel: target (RAM, EEPROM, FILE) and
// parameter set.
int CBF_SelectMem(QWidget* control, ctl::Event event);
int CBF_SelectParaSet(QWidget* control, ctl::Event event);

// Makes `panel` the visible child display panel (the data panel when it is
// not one of the five).
void ShowChildPanelDisp(QWidget* panel);
QWidget* CurrentChildPanel();

void SetButtonsDimmed(int goMode, int dim);

void ShowLogo();
// Creates a text on the banner at (left, top) with the given point size,
// transparent background and white text, optionally with a tool-tip.
QWidget* ShowInfoText(const std::string& text, const std::string& toolTip, int left, int top,
                      int pointSize);

// Project directory, where the settings file lives: the program's own
// directory for a run from the build folder, otherwise (the program is
// installed, its desktop entry lying under the same prefix, or its directory
// is not writable) the user's configuration directory.
std::string ProjectDir();
// Overrides the project directory (tests); the user's files then go there
// too, as for a run from the build folder.
void SetProjectDir(const std::string& dir);
std::string PanelSettingsPath();
// The folder of the user's files (record, parameter, hardware information
// and table attributes files, the scope printout) when they do not go into
// the project directory: CHROMIK3 in the user's documents folder for an
// installed program, empty for a run from the build folder. Not created here.
std::string DocumentsDir();
// Overrides DocumentsDir (tests: an installed program's places).
void SetDocumentsDir(const std::string& dir);
// Where the user's files go by default: DocumentsDir(), or the project
// directory when that is empty.
std::string UserFilesDir();
// Creates DocumentsDir() when `path` is it or lies in it and it is missing.
void PrepareFolderOf(const std::string& path);

} // namespace app
