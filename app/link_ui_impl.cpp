// The frame's services to the panels (dimming, child panels, pages,
// file locations), and the link's effects on the panels: status indicator, message box, the
// buttons a connection test enables, the connection page, and the calls into
// the parameter transfer, offline mode and the main loop.
#include "app/link_ui_impl.h"

#include "app/panel_settings.h"
#include "app/panels.h"
#include "app/shell.h"
#include "calib/calib_view.h"
#include "calib/hw_info_file.h"
#include "link/connect_page.h"
#include "link/link_texts.h"
#include "link/link_ui.h"
#include "link/program_link.h"
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

class PanelLinkUi final : public com232::LinkUi {
public:
    void ShowConnectionStatus(const std::string& text) override {
        P().data.status->setText(QString::fromStdString(text));
    }
    void SetConnectionStatusToolTip(const std::string& text) override {
        P().data.status->setToolTip(QString::fromStdString(text));
    }
    void AppendMessage(const std::string& text) override {
        QPlainTextEdit* box = P().connect.messages;
        QTextCursor cursor = box->textCursor();
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QString::fromStdString(text));
        box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
    }
    void DimLinkButtons(bool dim) override { conn::DimLinkButtons(dim); }
    void ShowConnectionPage() override { P().main.tabs->SetActivePage(kPageConnection); }
    void GetPara() override { params::GetPara(); }
    void Disconnect() override { conn::Disconnect(); }
    void QuitUserInterface(int code) override { platform::QuitUserInterface(code); }
    void ShowLinkIndicator(bool serial, const std::string& comPort,
                           const std::string& address) override {
        P().data.comPortIndicator->setText(QString::fromStdString(comPort));
        P().data.addressIndicator->setText(QString::fromStdString(address));
        P().data.comPortIndicator->setVisible(serial);
        P().data.addressIndicator->setVisible(!serial);
    }
    void ShowSensorId(const std::string& id) override {
        const QString text = QString::fromStdString(id);
        P().recorder.id->setText(text);
        P().colBig.id->setText(text);
        P().grpBig.id->setText(text);
    }
    void SelectFileTarget() override {
        params::Transfer().SelectTransferTarget(params::kTargetFile);
    }
    void EnableTransferCommands() override {
        P().main.send->setEnabled(true);
        P().main.get->setEnabled(true);
    }
    void GenerateHWInfoFile() override {
        if (calib::CalibrationView* calibration = P().calibView.get()) {
            conn::GenerateHWInfoFile(
                com232::ProgramLink(), params::Transfer(), params::Model(),
                calibration->HardwareFileHooks([this](const std::string& t) { AppendMessage(t); }));
        }
    }
};

PanelLinkUi gPanelLinkUi;

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

// What the link tells, on the panels: a failure shows "TIMEOUT!", goes into
// the message box, dims the link buttons and brings the connection page to
// the front; other texts go into the message box.
platform::Subscriptions gLinkSubscriptions;

} // namespace

void InstallPanelLinkUi() {
    com232::SetLinkUi(&gPanelLinkUi);
    shell::SetShell(&gFrameServices);
    com232::SensorLink& link = com232::ProgramLink();
    gLinkSubscriptions.Clear();
    gLinkSubscriptions += link.failed.Connect([](const std::string& text) {
        gPanelLinkUi.ShowConnectionStatus(com232::kTextTimeout);
        gPanelLinkUi.AppendMessage(text.substr(0, 255) + "\n\n");
        gPanelLinkUi.DimLinkButtons(true);
        gPanelLinkUi.ShowConnectionPage();
    });
    gLinkSubscriptions +=
        link.message.Connect([](const std::string& text) { gPanelLinkUi.AppendMessage(text); });
}

void UninstallPanelLinkUi() {
    gLinkSubscriptions.Clear();
    com232::SetLinkUi(nullptr);
    shell::SetShell(nullptr);
}

} // namespace app
