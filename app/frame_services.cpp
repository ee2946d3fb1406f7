// The frame's services to the panels (dimming, child panels, pages, file
// locations), and what the connection page does to the rest of the window:
// status and link indicators, the sensor identification, offline mode, the
// parameter transfer and the end of the program.
#include "app/frame_services.h"

#include "app/panel_settings.h"
#include "app/panels.h"
#include "app/shell.h"
#include "calib/calib_view.h"
#include "calib/hw_info_file.h"
#include "link/connect_page.h"
#include "link/link_texts.h"
#include "params/parameter_model.h"
#include "params/transfer.h"
#include "platform/runtime.h"
#include "platform/shell_services.h"
#include "platform/tab_control.h"
#include "platform/widgets.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>

namespace app {
namespace {

void ShowStatus(const std::string& text) {
    P().data.status->setText(QString::fromStdString(text));
}

// The frame's services to the subsystems' panels.
class FrameServices final : public shell::Services {
public:
    void SetButtonsDimmed(int goMode, int dim) override { app::SetButtonsDimmed(goMode, dim); }
    bool PanelsLoaded() const override { return app::PanelsLoaded(); }
    void ShowChild(shell::Child child) override { ShowChildPanelDisp(PanelOf(child)); }
    shell::Child CurrentChild() const override {
        QWidget* current = CurrentChildPanel();
        const shell::Child all[] = {shell::Child::SignalGraph, shell::Child::TeachMean,
                                    shell::Child::TeachGraph, shell::Child::Scope};
        for (shell::Child c : all) {
            if (current != nullptr && current == PanelOf(c)) {
                return c;
            }
        }
        return shell::Child::Data;
    }
    void ShowPage(shell::Page page) override {
        if (app::PanelsLoaded()) {
            P().main.tabs->SetActivePage(page);
        }
    }
    void SetPageVisible(shell::Page page, bool visible) override {
        if (app::PanelsLoaded()) {
            P().main.tabs->SetPageVisible(page, visible);
        }
    }
    shell::Directories& Paths() override { return app::Paths(); }
    std::string DocumentsDir() const override { return app::DocumentsDir(); }
    void PrepareFolderOf(const std::string& path) override { app::PrepareFolderOf(path); }
    void StoreSettings() override { StorePanelSettings(); }
    std::string PanelId() const override {
        return app::PanelsLoaded() ? P().connect.id->text().toStdString() : std::string();
    }

private:
    static QWidget* PanelOf(shell::Child child) {
        Panels& p = P();
        switch (child) {
        case shell::Child::SignalGraph:
            return p.signalGraph.panel;
        case shell::Child::TeachMean:
            return p.teachMean.panel;
        case shell::Child::TeachGraph:
            return p.teachGraph.panel;
        case shell::Child::Scope:
            return p.scope.panel;
        case shell::Child::Data:
            break;
        }
        return p.data.panel;
    }
};

FrameServices gFrameServices;

} // namespace

void InstallFrameServices() {
    shell::SetShell(&gFrameServices);
}

void UninstallFrameServices() {
    shell::SetShell(nullptr);
}

conn::ConnectHooks ConnectHooksOfWindow() {
    conn::ConnectHooks h;
    h.showConnectionStatus = [](const std::string& text) { ShowStatus(text); };
    h.setConnectionStatusToolTip = [](const std::string& text) {
        P().data.status->setToolTip(QString::fromStdString(text));
    };
    h.showLinkIndicator = [](bool serial, const std::string& comPort, const std::string& address) {
        P().data.comPortIndicator->setText(QString::fromStdString(comPort));
        P().data.addressIndicator->setText(QString::fromStdString(address));
        P().data.comPortIndicator->setVisible(serial);
        P().data.addressIndicator->setVisible(!serial);
    };
    h.showSensorId = [](const std::string& id) {
        const QString text = QString::fromStdString(id);
        P().recorder.id->setText(text);
        P().colBig.id->setText(text);
        P().grpBig.id->setText(text);
    };
    h.getPara = [] { params::GetPara(P().sensor.link, P().sensor.model, P().sensor.transfer); };
    h.selectFileTarget = [] { P().sensor.transfer.SelectTransferTarget(params::kTargetFile); };
    h.enableTransferCommands = [] {
        P().main.send->setEnabled(true);
        P().main.get->setEnabled(true);
    };
    h.generateHWInfoFile = [] {
        if (calib::CalibrationView* calibration = P().calibView.get()) {
            conn::GenerateHWInfoFile(P().sensor.link, P().sensor.transfer, P().sensor.model,
                                     calibration->HardwareFileHooks([](const std::string& text) {
                                         P().connectView->AppendMessage(text);
                                     }));
        }
    };
    h.quit = [] { platform::QuitUserInterface(0); };
    return h;
}

} // namespace app
