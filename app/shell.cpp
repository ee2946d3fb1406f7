#include "app/shell.h"

#include "app/link_ui_impl.h"
#include "app/main_window.h"
#include "app/panel_settings.h"
#include "app/panels.h"
#include "calib/calib_wiring.h"
#include "link/com232.h"
#include "link/connect_page.h"
#include "link/link_ui.h"
#include "live/display_refresh.h"
#include "live/live_data.h"
#include "live/live_wiring.h"
#include "params/mode_rules.h"
#include "params/param_callbacks.h"
#include "params/parameter_set.h"
#include "params/transfer.h"
#include "platform/runtime.h"
#include "platform/tab_control.h"
#include "platform/widgets.h"
#include "record/recorder_wiring.h"
#include "scope/scope_wiring.h"
#include "teach/attributes_wiring.h"
#include "teach/teach_labels.h"
#include "teach/teach_panels_wiring.h"
#include "teach/teach_wiring.h"

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

void SetDimmed(QWidget* w, bool dim) {
    if (w != nullptr) {
        w->setEnabled(!dim);
    }
}

} // namespace

std::string ProjectDir() {
    if (!gProjectDirOverride.empty()) {
        return gProjectDirOverride;
    }
    const QString own = QCoreApplication::applicationDirPath();
    if (QFileInfo(own).isWritable()) {
        return own.toStdString();
    }
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    return config.toStdString();
}

void SetProjectDir(const std::string& dir) {
    gProjectDirOverride = dir;
}

std::string PanelSettingsPath() {
    return ProjectDir() + "/" + kPanelSettingsFileName;
}

bool LoadAndPreparePanels() {
    if (!LoadPanels()) {
        return false;
    }
    Panels& p = P();
    p.main.window->setWindowTitle(kProgramTitle);
    gCurrentChild = p.data.panel;
    InstallPanelLinkUi();
    return true;
}

void Shutdown() {
    live::DiscardPendingDisplays();
    com232::CloseLink();
    com232::SetLinkUi(nullptr);
    DiscardPanels();
    gCurrentChild = nullptr;
}

int WinMain(int argc, char** argv) {
    if (!platform::InitRuntime(argc, argv)) {
        return -1;
    }
    if (!LoadAndPreparePanels()) {
        return -1;
    }
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
             p.recorder.manualRecord, p.scopePage.getCycleTime, p.scopePage.scan,
             p.scopePage.breakScan, p.teachGraph.start}) {
        SetDimmed(w, d);
    }
    // Let the change show before the command starts.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

int CBF_MAINP(QWidget* /*panel*/, ctl::Event event) {
    Panels& p = P();
    if (event == ctl::Event::Close) {
        com232::AcquisitionRunning = 0;
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
    WireMainPanel();
    conn::WireConnectPage();
    params::WireParameterPages();
    teach::WireTeachPage();
    record::WireRecorderPage();
    calib::WireCalibrationPage();
    calib::WireOffsetPage();
    teach::WireAttributesPage();
    scope::WireScopePage();
    scope::WireScopePanel();
    live::WireDataPanel();
    live::WireSignalGraphPanel();
    live::WireBigPanels();
    teach::WireTeachMeanPanel();
    teach::WireTeachGraphPanel();
}

void InitAll() {
    Panels& p = P();
    // 1. shared state
    com232::ResetLinkState();
    params::ResetTransferState();
    params::SelectTransferTarget(params::kTargetRam);
    params::SelectParaSet(0);
    live::ResetLiveState();
    gCurrentChild = p.data.panel;
    WireAllPanels();
    // 5. the teach grid's menu starts with tolerances taught ("on" dimmed)
    p.teachPage.menuTolOn->setEnabled(false);
    p.teachPage.menuTolOff->setEnabled(true);
    // 6. the password field
    p.password.password->setEchoMode(QLineEdit::Password);
    p.password.password->setMaxLength(20);
    // 7., 8.
    ShowLogo();
    params::GetPanelValues();
    // The panels start consistent with their modes.
    params::InitPanelCtrlAttr();
    // 9., 10.
    conn::FillComPortSelector();
    LoadPanelSettings();
    // 11., 12.
    p.main.tabs->SetActivePage(kPageParameter);
    p.data.tabs->setCurrentIndex(live::kDataPage3D);
    teach::SetTabVis();
    p.main.tabs->SetPageVisible(kPageOffset, false);
    ShowChildPanelDisp(p.data.panel);
    p.main.window->show();
    // 13., 14.
    GetConnectionSettingsFromFile();
    conn::InitConnectPanel();
    SetButtonsDimmed(0, 1);
    conn::TryToConnect();
    if (com232::LinkOk == 1) {
        SetButtonsDimmed(0, 0);
    }
}

int CBF_TabMain1(QWidget*, ctl::Event) {
    return 0;
}

void OnMainTabChanged(int page) {
    Panels& p = P();
    if (page == kPageConnection) {
        com232::AcquisitionRunning = 0;
        p.connect.accept->setEnabled(false);
        p.connect.changeBaudrate->setEnabled(false);
        p.connect.hwInfo->setEnabled(false);
    } else if (page == kPageScope) {
        com232::AcquisitionRunning = 0;
        ShowChildPanelDisp(p.scope.panel);
    }
}

} // namespace app
