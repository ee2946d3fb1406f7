#include "app/shell.h"

#include "app/main_window.h"
#include "app/panels.h"
#include "link/com232.h"
#include "platform/runtime.h"
#include "platform/tab_control.h"
#include "platform/widgets.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStandardPaths>

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
    return true;
}

void Shutdown() {
    com232::CloseLink();
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

void InitAll() {
    Panels& p = P();
    ShowLogo();
    p.main.tabs->SetActivePage(kPageParameter);
    p.main.tabs->SetPageVisible(kPageOffset, false);
    ShowChildPanelDisp(p.data.panel);
    p.main.window->show();
}

} // namespace app
