// A helper process for the reliability tests: the whole program, headless,
// connected to the simulated sensor of the test process (the
// PanelSettings.cfg in its directory names it), with a scripted user.
//
//   crash KIND DIR   saves a file of KIND in DIR and dies (SIGKILL from the
//                    file-write hook) when the finished temporary file is
//                    about to replace the old one;
//   record DIR       records triggered frames into DIR/RecordFile.dat until
//                    it is killed;
//   full DIR         in a mount namespace of its own: a small tmpfs on
//                    DIR/fs holding copies of the files in DIR/stage, filled
//                    up to the last block; saves every kind there, writes
//                    what the program reported to DIR/report.txt and copies
//                    the files left on DIR/fs to DIR/after;
//   readonly DIR     the same with DIR/fs mounted read-only (the files stay
//                    where they are).
//
// Exit codes: 0 done, 1 the save was not interrupted, 2 bad use or set-up,
// 3 the program did not connect, 4 the recording ended by itself, 77 no
// right to mount here.
#include "app/panels.h"
#include "app/shell.h"
#include "inifile/file_write_hook.h"
#include "link/com232.h"
#include "platform/popups.h"
#include "platform/runtime.h"
#include "platform/widgets.h"
#include "record/recorder.h"
#include "record/recorder_logic.h"
#include "record/recorder_ui.h"
#include "sensor/sensor.h"
#include "tests/reliability/private_mount.h"
#include "tests/reliability/save_flows.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using reliability::KindInfo;

namespace {

constexpr int kExitNotInterrupted = 1;
constexpr int kExitSetUp = 2;
constexpr int kExitNoConnection = 3;
constexpr int kExitRecordingEnded = 4;
constexpr int kExitNoMounts = 77;

int SetUpFailed(const std::string& why) {
    std::fprintf(stderr, "reliability helper: %s\n", why.c_str());
    return kExitSetUp;
}

bool StartProgram(const std::string& dir) {
    app::SetProjectDir(dir);
    static auto* program = new sensor::Sensor; // outlives the window
    if (!app::LoadAndPreparePanels(*program)) {
        return false;
    }
    app::InitAll();
    return app::P().sensor.link.LinkOk == 1;
}

int Crash(const KindInfo& kind, const std::string& dir, platform::ScriptedPopups& user) {
    if (!kind.replaced) {
        return SetUpFailed(std::string(kind.name) + " replaces no file");
    }
    const std::string target = reliability::TargetPath(kind, dir);
    filewrite::SetHook([target](filewrite::Step step, const std::string& path) {
        if (step == filewrite::Step::Replace && path == target) {
            ::kill(::getpid(), SIGKILL); // as a crash or power cut here would
        }
        return 0;
    });
    // The settings as most often: by closing the main panel.
    reliability::RunSave(kind, target, user, /*closing=*/true);
    std::fprintf(stderr, "reliability helper: the save of %s was not interrupted\n", kind.name);
    return kExitNotInterrupted;
}

int Record(const std::string& dir, platform::ScriptedPopups& user) {
    record::RecorderPage& r = app::P().recorder;
    user.Answer(platform::kNewFileSelected, dir + "/RecordFile.dat");
    r.selectFile->click();
    r.mode->SetVal(record::kModeTriggered);
    app::P().recorderView->CBF_EditSelectDataRec(r.mode, ctl::Event::Commit);
    r.startTrigRec->click(); // the questions answered yes; runs until killed
    return kExitRecordingEnded;
}

// One line per kind: name, tab, 1 when announced as saved, tab, the report
// with its line breaks as "\n".
void SaveEveryKind(const std::string& fsDir, const std::string& reportPath,
                   platform::ScriptedPopups& user) {
    std::ofstream report(reportPath, std::ios::binary);
    for (const KindInfo& kind : reliability::AllKinds()) {
        const std::string path = reliability::TargetPath(kind, fsDir);
        user.Clear();
        app::P().connect.messages->clear();
        reliability::RunSave(kind, path, user);
        std::string text = reliability::FailureReport(kind, path, user);
        for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2) {
            text.replace(at, 1, "\\n");
        }
        report << kind.name << '\t' << reliability::AnnouncedAsSaved(kind, path) << '\t' << text
               << '\n';
    }
}

int RealFileSystem(bool full, const std::string& dir, int argc, char** argv) {
    const std::string fsDir = dir + "/fs";
    std::string why;
    if (!reliability::EnterPrivateMountNamespace(&why)) {
        std::fprintf(stderr, "reliability helper: %s\n", why.c_str());
        return kExitNoMounts;
    }
    if (full) {
        std::error_code ec;
        fs::create_directories(fsDir, ec);
        if (!reliability::MountSmallTmpfs(fsDir, &why)) {
            std::fprintf(stderr, "reliability helper: %s\n", why.c_str());
            return kExitNoMounts;
        }
        for (const fs::directory_entry& e : fs::directory_iterator(dir + "/stage")) {
            fs::copy_file(e.path(), fsDir + "/" + e.path().filename().string(), ec);
            if (ec) {
                return SetUpFailed("copy: " + ec.message());
            }
        }
        if (!reliability::FillUp(fsDir, &why)) {
            return SetUpFailed(why);
        }
    } else if (!reliability::MountReadOnly(fsDir, &why)) {
        std::fprintf(stderr, "reliability helper: %s\n", why.c_str());
        return kExitNoMounts;
    }
    // Threads start from here on.
    if (!platform::InitRuntime(argc, argv)) {
        return SetUpFailed("no user interface");
    }
    platform::ScriptedPopups user;
    if (!StartProgram(fsDir)) {
        return kExitNoConnection;
    }
    SaveEveryKind(fsDir, dir + "/report.txt", user);
    app::Shutdown();
    if (full) {
        std::error_code ec;
        fs::remove(fsDir + "/filler", ec);
        fs::create_directories(dir + "/after", ec);
        for (const fs::directory_entry& e : fs::directory_iterator(fsDir)) {
            fs::copy_file(e.path(), dir + "/after/" + e.path().filename().string(), ec);
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string mode = argc > 1 ? argv[1] : "";
    if ((mode == "full" || mode == "readonly") && argc == 3) {
        return RealFileSystem(mode == "full", argv[2], argc, argv);
    }
    const KindInfo* kind = mode == "crash" && argc == 4 ? reliability::KindNamed(argv[2]) : nullptr;
    if (kind == nullptr && !(mode == "record" && argc == 3)) {
        return SetUpFailed("usage: crash KIND DIR | record DIR | full DIR | readonly DIR");
    }
    const std::string dir = argv[argc - 1];
    if (!platform::InitRuntime(argc, argv)) {
        return SetUpFailed("no user interface");
    }
    platform::ScriptedPopups user;
    if (!StartProgram(dir)) {
        return kExitNoConnection;
    }
    const int result = kind != nullptr ? Crash(*kind, dir, user) : Record(dir, user);
    app::Shutdown();
    return result;
}
