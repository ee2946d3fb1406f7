// The parameter file: SEND and GET with the transfer target FILE save the
// whole parameter set to a file and load it back into the panels.
#pragma once

#include "params/parameter_file_io.h"

#include <string>

namespace params {

class ParameterModel;
class ModeRules;

// SEND and GET to the file for one window's model.
class ParameterFileCommands {
public:
    ParameterFileCommands(ParameterModel& model, ModeRules& rules) : model_(model), rules_(rules) {}
    ParameterFileCommands(const ParameterFileCommands&) = delete;
    ParameterFileCommands& operator=(const ParameterFileCommands&) = delete;

    // Asks for a file name and writes the parameter set to it.
    void SendParaToFile();
    // Asks for a parameter file, reads it into the model and runs the mode
    // rules on it.
    void ReadParaFromFile();

private:
    ParameterModel& model_;
    ModeRules& rules_;
    // A dialog or a read is in progress: a second SEND or GET to the file
    // (a shortcut key handled inside the first one's dialog) must not start.
    bool busy_ = false;
};

// The directory a file dialog starts in for a remembered path: the path
// itself when it names a directory, otherwise the directory that holds it.
std::string DialogDirectoryOf(const std::string& rememberedPath);

inline constexpr const char* kTextNoFileSelected = "No file was selected!";
inline constexpr const char* kTextNotParameterFile =
    "Selected file is not a parameter file! \nDo you want to proceed anyway?";
inline constexpr const char* kTextVersionMismatch =
    "Selected file and scope version do not match! \nDo you want to proceed anyway?";
inline constexpr const char* kTextNoParameterRead = "No parameter where read!";

} // namespace params
