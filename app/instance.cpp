#include "app/instance.h"

#include "app/command_line.h"
#include "app/panels.h"
#include "app/shell.h"
#include "params/parameter_file_io.h"
#include "params/parameter_model.h"
#include "platform/widgets.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

namespace app {
namespace {

std::string gSettingsOverride;
std::unique_ptr<QLockFile> gSettingsLock;

} // namespace

void SetPanelSettingsPathOverride(const std::string& path) {
    gSettingsOverride = path;
}

const std::string& PanelSettingsPathOverride() {
    return gSettingsOverride;
}

bool ClaimPanelSettingsFile(const std::string& path) {
    ReleasePanelSettingsFile();
    // A lock beside the settings file; QLockFile takes over the lock of a
    // window that ended without removing it.
    auto lock = std::make_unique<QLockFile>(QString::fromStdString(path) + ".lock");
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        // Held by a running window, or not creatable (read-only directory):
        // only a held lock is another window.
        return lock->error() != QLockFile::LockFailedError;
    }
    gSettingsLock = std::move(lock);
    return true;
}

void ReleasePanelSettingsFile() {
    gSettingsLock.reset();
}

std::string SharedSettingsWarning(const std::string& path) {
    return "ATTENTION! \n\nAnother CHROMIK3 Scope window uses the settings file \n" + path +
           " \n\nBoth windows save their settings into it when they are closed: \nthe "
           "settings of the window closed last will be kept. \n\nStart a window with "
           "--settings FILE to keep the settings of each sensor apart.";
}

void UpdateWindowTitle() {
    Panels& p = P();
    if (p.main.window == nullptr || p.connect.id == nullptr) {
        return;
    }
    p.main.window->setWindowTitle(
        QString::fromStdString(WindowTitleFor(p.connect.id->text().toStdString())));
}

namespace {

int gSignalPipe[2] = {-1, -1};

void OnTerminationSignal(int) {
    const char byte = 1;
    // Only an async-signal-safe write here; the close runs in the event loop.
    [[maybe_unused]] const ssize_t n = ::write(gSignalPipe[1], &byte, 1);
}

} // namespace

void InstallTerminationHandler() {
    if (gSignalPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0) {
        return;
    }
    auto* notifier =
        new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(gSignalPipe[0], &byte, 1);
        if (PanelsLoaded() && P().main.window != nullptr) {
            CBF_MAINP(P().main.window, ctl::Event::Close);
        }
    });
    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

namespace {
std::vector<std::string> gViewFiles;
std::string gExportFile;
std::string gSpan;
std::string gViewNote;
} // namespace

const std::vector<std::string>& ViewFilesOfCommandLine() {
    return gViewFiles;
}

const std::string& ExportFileOfCommandLine() {
    return gExportFile;
}

const std::string& SpanOfCommandLine() {
    return gSpan;
}

const std::string& ViewNoteOfCommandLine() {
    return gViewNote;
}

params::ParameterModel& ViewerModel() {
    static params::ParameterModel model;
    return model;
}

bool LoadViewParameters(const std::string& path, std::string* message) {
    params::ParameterModel& model = ViewerModel();
    const params::ParameterFileRead r =
        params::ReadParameterFile(path, model.Block(), model.Table());
    if (!r.storeMade || r.readResult < 0) {
        *message = "the parameter file " + path + " cannot be read";
        return false;
    }
    if (!r.isParameterFile) {
        *message = path + " is not a parameter file";
        return false;
    }
    // What the file lacks keeps the file defaults, as GET from a file does;
    // the viewer shows the table all the same.
    std::string missing = r.paraReport + r.teachReport;
    if (!missing.empty()) {
        *message = path + ": " + missing;
    }
    model.Replace(r.block, r.table);
    return true;
}

int HandleCommandLine(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        // Qt's own options and their values are the run-time's.
        static const char* const kQtWithValue[] = {"-platform", "-style", "-display",
                                                   "-qwindowgeometry", "-qwindowtitle"};
        bool qtOption = false;
        for (const char* q : kQtWithValue) {
            if (a == q) {
                qtOption = true;
                ++i;
                break;
            }
        }
        if (!qtOption && a != "-reverse") {
            args.push_back(a);
        }
    }
    const CommandLine c = ParseCommandLine(args);
    const std::string name = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName().toStdString();
    if (!c.error.empty()) {
        std::fprintf(stderr, "%s: %s\n\n%s", name.c_str(), c.error.c_str(),
                     UsageText(name).c_str());
        return 1;
    }
    if (c.help || c.version) {
        // A write that fails (a full disk, a closed pipe) is no success.
        const std::string text = c.help ? UsageText(name) : VersionText();
        if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
            std::fprintf(stderr, "%s: cannot write to standard output\n", name.c_str());
            return 1;
        }
        return 0;
    }
    if (!c.settingsFile.empty()) {
        const QFileInfo file(QString::fromLocal8Bit(c.settingsFile.c_str()));
        if (file.isDir()) {
            std::fprintf(stderr, "%s: the settings file %s is a directory\n", name.c_str(),
                         c.settingsFile.c_str());
            return 1;
        }
        if (!file.absoluteDir().exists()) {
            std::fprintf(stderr, "%s: the directory of the settings file %s does not exist\n",
                         name.c_str(), c.settingsFile.c_str());
            return 1;
        }
        SetPanelSettingsPathOverride(file.absoluteFilePath().toStdString());
    }
    gViewFiles = c.viewFiles;
    gExportFile = c.exportFile;
    gSpan = c.span;
    gViewNote.clear();
    if (!c.paramsFile.empty()) {
        std::string message;
        const bool loaded = LoadViewParameters(c.paramsFile, &message);
        if (!message.empty()) {
            std::fprintf(stderr, "%s: %s\n", name.c_str(), message.c_str());
            gViewNote = "PARAMETER FILE " + message;
        }
        if (!loaded) {
            return 1;
        }
    }
    return -1;
}

} // namespace app
