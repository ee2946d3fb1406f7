// What the program frame offers to every panel: the dimming of commands
// while one runs, the one visible child display panel, the pages of the
// main tab control, the remembered file locations and the saving of the
// settings. The frame (the application) implements it and installs it at
// start-up; subsystems use it without knowing the frame, and tests or a
// program without a window run with the default, which does nothing.
#pragma once

#include <cstddef>
#include <string>

namespace shell {

// The program's title: the main window's caption and the first line of the
// record file header and the scope report.
inline constexpr const char* kProgramTitle = "CHROMIK3 Scope V4.3";
// The sensor identification (PANEL ID) holds at most 99 characters.
constexpr size_t kMaxPanelIdChars = 99;

// Pages of the main tab control.
enum Page : int {
    kPageConnection = 0,
    kPageParameter = 1,
    kPageGroupHold = 2,
    kPageTeachTable = 3,
    kPageRecorder = 4,
    kPageCalibration = 5,
    kPageTableAttributes = 6,
    kPageScope = 7,
    kPageOffset = 8,
    kMainPageCount
};

// The child display panels, of which one shows at a time.
enum class Child { Data, SignalGraph, TeachMean, TeachGraph, Scope };

// The file locations remembered between runs.
struct Directories {
    std::string parameterFile;
    std::string recorderFile;
    std::string hardwareIniFile;
    std::string tableAttributesFile;
};

class Services {
public:
    virtual ~Services() = default;
    // goMode 1: GO runs, SEND and GET stay usable; dim 1 dims, 0 restores.
    virtual void SetButtonsDimmed(int goMode, int dim) = 0;
    // False before the panels are built and after they are discarded.
    virtual bool PanelsLoaded() const = 0;
    virtual void ShowChild(Child child) = 0;
    virtual Child CurrentChild() const = 0;
    virtual void ShowPage(Page page) = 0;
    virtual void SetPageVisible(Page page, bool visible) = 0;
    // The remembered file locations (read and written).
    virtual Directories& Paths() = 0;
    // The folder of the user's files (~/Documents/CHROMIK3) when they do not
    // lie beside the program, as for a run from the build folder (empty
    // then). It is created only when first needed (PrepareFolderOf).
    virtual std::string DocumentsDir() const = 0;
    // Creates the documents folder when `path` is it or lies in it and it
    // is missing: called before a file dialog opens there and before a
    // file is written there. Any other folder is left alone.
    virtual void PrepareFolderOf(const std::string& path) = 0;
    // Writes the settings file now (ACCEPT on the connection page).
    virtual void StoreSettings() = 0;
    // The panel identification as the connection page shows it (record
    // file header, scope report).
    virtual std::string PanelId() const = 0;
};

// The services in use; a frame that does nothing until one is installed.
Services& Shell();
// Installs `services` (nullptr restores the one that does nothing).
void SetShell(Services* services);

} // namespace shell
