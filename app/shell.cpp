#include "app/shell.h"

#include "app/frame_services.h"
#include "app/instance.h"
#include "app/main_window.h"
#include "app/panel_settings.h"
#include "app/panels.h"
#include "link/com232.h"
#include "link/connect_page.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/live_data.h"
#include "live/live_state.h"
#include "live/live_views.h"
#include "params/mode_rules.h"
#include "params/param_views.h"
#include "params/parameter_model.h"
#include "params/transfer.h"
#include "platform/popups.h"
#include "platform/runtime.h"
#include "platform/shell_services.h"
#include "platform/tab_control.h"
#include "platform/widgets.h"
#include "record/record_viewer.h"
#include "record/record_viewers.h"
#include "record/recorder.h"
#include "record/recorder_logic.h"
#include "scope/scope.h"
#include "teach/teach_state.h"
#include "teach/teach_view.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTabWidget>

namespace app {
namespace {

QWidget* gCurrentChild = nullptr;
std::string gProjectDirOverride;
std::string gDocumentsDirOverride;

void SetDimmed(QWidget* w, bool dim) {
    if (w != nullptr) {
        w->setEnabled(!dim);
    }
}

} // namespace

namespace {

// A run from the build folder keeps its settings and files beside the
// program. An installed program (its desktop entry beside it under the
// prefix) never writes into the system's program directory, even as root.
bool RunsFromBuildFolder() {
    const QString own = QCoreApplication::applicationDirPath();
    const bool installed = QFileInfo::exists(own + "/../share/applications/chromik3-scope.desktop");
    return !installed && QFileInfo(own).isWritable();
}

} // namespace

std::string ProjectDir() {
    if (!gProjectDirOverride.empty()) {
        return gProjectDirOverride;
    }
    if (RunsFromBuildFolder()) {
        return QCoreApplication::applicationDirPath().toStdString();
    }
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    return config.toStdString();
}

void SetProjectDir(const std::string& dir) {
    gProjectDirOverride = dir;
}

std::string DocumentsDir() {
    if (!gDocumentsDirOverride.empty()) {
        return gDocumentsDirOverride;
    }
    if (!gProjectDirOverride.empty() || RunsFromBuildFolder()) {
        return {};
    }
    // The folder the desktop names for documents (xdg-user-dirs), ~/Documents otherwise.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? std::string() : (documents + "/CHROMIK3").toStdString();
}

void SetDocumentsDir(const std::string& dir) {
    gDocumentsDirOverride = dir;
}

std::string UserFilesDir() {
    const std::string documents = DocumentsDir();
    return documents.empty() ? ProjectDir() : documents;
}

void PrepareFolderOf(const std::string& path) {
    const std::string documents = DocumentsDir();
    if (documents.empty() || path.empty()) {
        return;
    }
    const QString folder = QDir::cleanPath(QString::fromStdString(documents));
    const QFileInfo target(QDir::cleanPath(QString::fromStdString(path)));
    if (target.absoluteFilePath() == folder || target.absolutePath() == folder) {
        QDir().mkpath(folder);
    }
}

std::string PanelSettingsPath() {
    if (!PanelSettingsPathOverride().empty()) {
        return PanelSettingsPathOverride();
    }
    return ProjectDir() + "/" + kPanelSettingsFileName;
}

bool LoadAndPreparePanels(sensor::Sensor& sensor) {
    if (!LoadPanels(sensor)) {
        return false;
    }
    Panels& p = P();
    p.main.window->setWindowTitle(kProgramTitle);
    gCurrentChild = p.data.panel;
    InstallFrameServices();
    return true;
}

record::RecordViewers& Viewers() {
    return *P().viewers;
}

void OpenViewFiles(record::RecordViewers& viewers, const std::vector<std::string>& files) {
    for (const std::string& file : files) {
        record::RecordViewer* v = viewers.Open(file);
        if (!ViewNoteOfCommandLine().empty()) {
            v->SetNote(QString::fromStdString(ViewNoteOfCommandLine()));
        }
    }
}

namespace {
bool gAnyViewShown = false;
} // namespace

int RunViewerAlone(const std::vector<std::string>& files) {
    // A record studied at a desk: no panels, no link, no settings file read
    // or written; the colour plane shows the parameter model as it starts
    // (palette row colours, no taught rows). The program ends with the
    // last viewer window: 1 when no file could be shown.
    gAnyViewShown = false;
    record::RecordViewers viewers(ViewerModel());
    viewers.SetClosedHandler([](bool shown, bool last) {
        gAnyViewShown = gAnyViewShown || shown;
        if (last) {
            platform::QuitUserInterface(gAnyViewShown ? 0 : 1);
        }
    });
    OpenViewFiles(viewers, files);
    const int status = platform::RunUserInterface();
    viewers.SetClosedHandler({});
    viewers.CloseAll();
    platform::ShutdownRuntime();
    return status;
}

void Shutdown() {
    Panels& p = P();
    if (p.viewers) {
        p.viewers->CloseAll();
    }
    p.refresh.DiscardPending();
    p.sensor.link.CloseLink();
    UninstallFrameServices();
    DiscardPanels();
    ReleasePanelSettingsFile();
    gCurrentChild = nullptr;
}

int WinMain(int argc, char** argv) {
    const int handled = HandleCommandLine(argc, argv);
    if (handled >= 0) {
        return handled;
    }
    if (!ExportFileOfCommandLine().empty()) {
        // A report for a script: drawn offscreen, no window, no display, and
        // only what went wrong on standard error (the offscreen platform's
        // notes would fill a cron job's mail).
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg) {
                std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
            }
        });
    }
    if (!platform::InitRuntime(argc, argv)) {
        return -1;
    }
    if (!ExportFileOfCommandLine().empty()) {
        std::string error;
        const int status = record::ExportRecordWithoutWindow(
            ViewerModel(), ViewFilesOfCommandLine().front(), ExportFileOfCommandLine(),
            SpanOfCommandLine(), &error);
        if (status != 0) {
            std::fprintf(stderr, "%s\n", error.c_str());
        }
        platform::ShutdownRuntime();
        return status;
    }
    if (!ViewFilesOfCommandLine().empty()) {
        return RunViewerAlone(ViewFilesOfCommandLine());
    }
    // The program's one sensor and its window.
    sensor::Sensor sensor;
    if (!LoadAndPreparePanels(sensor)) {
        return -1;
    }
    InstallTerminationHandler();
    InitAll();
    platform::RunUserInterface();
    Shutdown();
    platform::ShutdownRuntime();
    return 0;
}

void ShowChildPanelDisp(QWidget* panel) {
    Panels& p = P();
    QWidget* children[] = {p.data.panel, p.signalGraph.panel, p.teachMean.panel, p.teachGraph.panel,
                           p.scope.panel};
    bool isChild = false;
    for (QWidget* c : children) {
        isChild |= (c == panel && c != nullptr);
    }
    gCurrentChild = isChild ? panel : p.data.panel;
    if (p.main.childArea != nullptr && gCurrentChild != nullptr) {
        p.main.childArea->setCurrentWidget(gCurrentChild);
    }
}

QWidget* CurrentChildPanel() {
    return gCurrentChild;
}

void SetButtonsDimmed(int goMode, int dim) {
    Panels& p = P();
    const bool d = dim != 0;
    // MANUAL RECORD is in no list: it appends the frame received last and
    // sends nothing, so it stays usable during GO and offline; its own
    // callback dims it while it writes.
    if (goMode == 0) {
        for (QWidget* w : std::initializer_list<QWidget*>{p.main.send, p.main.get, p.main.ram,
                                                          p.main.eeprom, p.main.file}) {
            SetDimmed(w, d);
        }
    }
    for (QWidget* w : std::initializer_list<QWidget*>{p.main.go, p.connect.tryToConnect,
                                                      p.connect.disconnect, p.connect.baudrate}) {
        SetDimmed(w, d);
    }
    if (d) {
        // Only a successful connection test enables these again.
        SetDimmed(p.connect.changeBaudrate, true);
        SetDimmed(p.connect.hwInfo, true);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{
             p.calibration.sendCF, p.calibration.getCF, p.calibration.calcCF,
             p.calibration.selfCalibration, p.offset.send, p.offset.get, p.offset.calc,
             p.recorder.mode, p.recorder.startRecord, p.recorder.startTrigRec,
             p.scopePage.getCycleTime, p.scopePage.scan, p.scopePage.breakScan,
             p.teachGraph.start}) {
        SetDimmed(w, d);
    }
    // Let the change show before the command starts.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

int CBF_MAINP(QWidget* /*panel*/, ctl::Event event) {
    Panels& p = P();
    if (event == ctl::Event::Close) {
        P().sensor.link.AcquisitionRunning = 0;
        StorePanelSettings();
        platform::QuitUserInterface(0);
    } else if (event == ctl::Event::RightDoubleClick && p.main.window != nullptr) {
        QWidget* w = p.main.window;
        w->showNormal();
        w->resize(790, 548);
        if (QScreen* s = w->screen()) {
            const QRect r = s->availableGeometry();
            w->move(r.center() - QPoint(w->width() / 2, w->height() / 2));
        }
    }
    return 0;
}

void WireAllPanels() {
    Panels& p = P();
    WireMainPanel();
    sensor::Sensor& s = p.sensor;
    p.viewers = std::make_unique<record::RecordViewers>(s.model);
    p.connectView =
        std::make_unique<conn::ConnectView>(p.linkPanels, s.link, ConnectHooksOfWindow());
    p.paramViews =
        std::make_unique<params::ParamViews>(p.paramPanels, s.link, s.model, s.transfer, p.rules);
    MakeTeachViews(p); // the teach and attributes pages, both assistant panels
    p.recorderView = std::make_unique<record::RecorderView>(p.recorderPanels, p.Live(), s.recorder,
                                                            p.refresh, *p.viewers, LiveHooks(p));
    MakeCalibView(p); // the calibration and offset pages, the password panel
    p.scopeView =
        std::make_unique<scope::ScopeView>(p.scopePanels, s.link, s.model, s.scope, s.scan);
    p.liveViews = std::make_unique<live::LiveViews>(p.livePanels, s.link, s.transfer, s.model,
                                                    p.rules, s.frames, s.live, p.refresh);
}

void InitAll() {
    Panels& p = P();
    // Shared state to its start values; every panel wired.
    sensor::Sensor& s = p.sensor;
    s.link.Reset();
    s.transfer.Reset();
    s.transfer.SelectTransferTarget(params::kTargetRam);
    s.transfer.SelectParaSet(0);
    p.refresh.DiscardPending();
    s.frames.Reset();
    s.live.ResetHistories();
    teach::ResetTeachState(s.teach, s.model);
    s.calib = {};
    gCurrentChild = p.data.panel;
    WireAllPanels();
    // The teach grid's menu starts with tolerances taught ("on" dimmed).
    p.teachPage.menuTolOn->setEnabled(false);
    p.teachPage.menuTolOff->setEnabled(true);
    // The password field hides what is typed.
    p.password.password->setEchoMode(QLineEdit::Password);
    p.password.password->setMaxLength(20);
    // Banner (the parameter pages' start values went into the model when
    // they were bound).
    ShowLogo();
    // The panels start consistent with their modes.
    p.paramViews->rules.InitPanelCtrlAttr();
    // The ports present in the COM-port selector; window, paths, ID, address
    // history and row attributes from the settings file.
    P().connectView->FillComPortSelector();
    // Without a settings file this is a first start: a failed connection
    // points at FIND SENSORS.
    P().connectView->SetFirstStart(!QFileInfo::exists(QString::fromStdString(PanelSettingsPath())));
    // Another window on the same settings file: whichever closes last wins.
    if (!ClaimPanelSettingsFile(PanelSettingsPath())) {
        platform::MessagePopup("ATTENTION!", SharedSettingsWarning(PanelSettingsPath()));
    }
    LoadPanelSettings();
    UpdateWindowTitle();
    // Row colours start in manual mode.
    p.teachViews->Attributes().InitSrcPanel();
    // Parameter page and the data panel's 3D page in front, offset page
    // hidden, the data panel in the child area; the main panel on screen.
    p.main.tabs->SetActivePage(kPageParameter);
    p.data.tabs->setCurrentIndex(live::kDataPage3D);
    p.liveViews->modes.SetTabVis();
    p.main.tabs->SetPageVisible(kPageOffset, false);
    ShowChildPanelDisp(p.data.panel);
    p.scopeView->calcScopDeltaXY(); // the deltas of the cursors' start positions
    p.main.window->show();
    // Connection settings from the settings file, the connection page
    // arranged for the protocol, then the connection with the commands
    // dimmed; they come back only when the connection succeeded.
    GetConnectionSettingsFromFile();
    P().connectView->InitConnectPanel();
    // A settings file named on the command line exists from the start, with
    // the defaults where it was missing.
    if (!PanelSettingsPathOverride().empty() &&
        !QFileInfo::exists(QString::fromStdString(PanelSettingsPath()))) {
        StorePanelSettings();
    }
    SetButtonsDimmed(0, 1);
    P().connectView->TryToConnect();
    if (P().sensor.link.LinkOk == 1) {
        SetButtonsDimmed(0, 0);
    }
}

int CBF_TabMain1(QWidget*, ctl::Event event) {
    if (event != ctl::Event::ActivePageChanged) {
        return 0; // a right click has shown the help text already
    }
    Panels& p = P();
    const int page = p.main.tabs->ActivePage();
    if (page == kPageRecorder && p.recorderView) {
        p.recorderView->InitRecordPanel();
        if (p.recorder.mode->Val() == record::kModeTimedCount) {
            p.recorderView->CalcRecTime();
        }
    } else if (page == kPageConnection) {
        // A running acquisition stops; only a successful connection test
        // enables the link buttons again.
        P().sensor.link.AcquisitionRunning = 0;
        P().connectView->DimLinkButtons(true);
    } else if (page == kPageScope) {
        P().sensor.link.AcquisitionRunning = 0;
        ShowChildPanelDisp(p.scope.panel);
    }
    return 0;
}

} // namespace app
