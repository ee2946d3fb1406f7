// The program's command line: another settings file for a second sensor,
// record files to view without a sensor, the version and the usage text. Pure logic, so that a
// wrong command line is refused with a message before any window opens.
#pragma once

#include "platform/shell_services.h"

#include <string>
#include <vector>

namespace app {

inline constexpr const char* kProgramVersionTitle = shell::kProgramTitle;

struct CommandLine {
    std::string settingsFile; // --settings FILE; empty: the default file
    // --view FILE (any number): the record viewer alone, one window per
    // file, without a sensor.
    std::vector<std::string> viewFiles;
    // --params FILE.ini (with --view only): the viewers' colour plane shows
    // the teach table and calculation mode of this parameter file.
    std::string paramsFile;
    // --export OUT.pdf|OUT.png|OUT.csv (with one --view): the report is
    // written without a window and the program ends; --span FROM:TO with it
    // limits it to those frames.
    std::string exportFile;
    std::string span;
    bool help = false;    // --help, -h
    bool version = false; // --version
    std::string error;    // what was wrong; empty when the line is good
};

// Reads the arguments after the program name. Qt's own options (-platform,
// -style ...) are taken out by the run-time before this sees them.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The usage text printed by --help and after a wrong command line.
std::string UsageText(const std::string& programName);
// The line printed by --version.
std::string VersionText();

// The main window's title: the program title, followed by the sensor
// identification where one is set, so that two windows can be told apart.
std::string WindowTitleFor(const std::string& sensorId);

} // namespace app
