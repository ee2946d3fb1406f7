#include "app/command_line.h"

namespace app {

namespace {

// An option that names a file, written "--name FILE" or "--name=FILE".
// True when args[*i] is the option `name`; *file then holds the name (empty
// when missing) and *i stands on the last argument taken.
bool FileOption(const std::vector<std::string>& args, size_t* i, const std::string& name,
                std::string* file) {
    const std::string& a = args[*i];
    if (a == name) {
        *file = *i + 1 < args.size() ? args[++*i] : "";
        return true;
    }
    if (a.rfind(name + "=", 0) == 0) {
        *file = a.substr(name.size() + 1);
        return true;
    }
    return false;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine c;
    std::string file;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            c.help = true;
        } else if (a == "--version") {
            c.version = true;
        } else if (FileOption(args, &i, "--settings", &file)) {
            if (file.empty()) {
                c.error = "--settings needs the name of a settings file";
                return c;
            }
            if (!c.settingsFile.empty()) {
                c.error = "--settings given twice";
                return c;
            }
            c.settingsFile = file;
        } else if (FileOption(args, &i, "--view", &file)) {
            if (file.empty()) {
                c.error = "--view needs the name of a record file";
                return c;
            }
            c.viewFiles.push_back(file);
        } else if (FileOption(args, &i, "--params", &file)) {
            if (file.empty()) {
                c.error = "--params needs the name of a parameter file";
                return c;
            }
            if (!c.paramsFile.empty()) {
                c.error = "--params given twice";
                return c;
            }
            c.paramsFile = file;
        } else if (FileOption(args, &i, "--export", &file)) {
            if (file.empty()) {
                c.error = "--export needs the name of a .pdf, .png or .csv file";
                return c;
            }
            c.exportFile = file;
        } else if (FileOption(args, &i, "--span", &file)) {
            if (file.empty()) {
                c.error = "--span needs FROM:TO";
                return c;
            }
            c.span = file;
        } else {
            c.error = "unknown argument \"" + a + "\"";
            return c;
        }
    }
    if (!c.paramsFile.empty() && c.viewFiles.empty()) {
        // Connected, the colour plane shows the sensor's own teach table.
        c.error = "--params works with --view only";
    }
    if (!c.exportFile.empty() && c.viewFiles.size() != 1) {
        c.error = "--export works with exactly one --view";
    }
    if (!c.span.empty() && c.exportFile.empty()) {
        c.error = "--span works with --export only";
    }
    return c;
}

std::string UsageText(const std::string& programName) {
    return "Usage: " + programName +
           " [--settings FILE] [--view FILE.dat ... [--params FILE.ini]]\n"
           "       [--export OUT.pdf|OUT.png|OUT.csv [--span FROM:TO]] [--help] [--version]\n"
           "\n"
           "The PC operating program of the CHROMIK3 colour sensor.\n"
           "\n"
           "  --settings FILE  keep the connection, the file paths, the sensor ID and the\n"
           "                   row attributes in FILE instead of PanelSettings.cfg, so that\n"
           "                   two windows can serve two sensors; FILE is created with the\n"
           "                   defaults when it is missing\n"
           "  --view FILE.dat  open the record file in the record viewer alone, without\n"
           "                   connecting to a sensor (repeat it for more files); nothing\n"
           "                   is read from or written to the settings file\n"
           "  --params FILE.ini\n"
           "                   with --view: draw the teach table of this parameter file\n"
           "                   (a backup of the sensor) under the recorded colours\n"
           "  --export OUT.pdf|OUT.png|OUT.csv\n"
           "                   with one --view: write the report (PDF, A4), the picture of\n"
           "                   the viewer (PNG) or the frames (CSV) without opening a\n"
           "                   window, then exit (0, or 1 with the reason on stderr)\n"
           "  --span FROM:TO   with --export: only these frames, as frame numbers (from 1)\n"
           "                   or times YYYY-MM-DDTHH:MM:SS; either side may be empty\n"
           "  --version        print the program's version and exit\n"
           "  --help           print this text and exit\n";
}

std::string VersionText() {
    // As the command-line tool and the simulator print theirs.
    return std::string("chromik3-scope 4.3.0 (") + kProgramVersionTitle + ")\n";
}

std::string WindowTitleFor(const std::string& sensorId) {
    std::string title = kProgramVersionTitle;
    if (sensorId.find_first_not_of(' ') != std::string::npos) {
        title += " - " + sensorId;
    }
    return title;
}

} // namespace app
