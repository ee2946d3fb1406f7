// The link's effects on the panels: status indicator, message box, the
// buttons a connection test enables, the connection page, and the calls into
// the parameter transfer, offline mode and the main loop.
#include "app/link_ui_impl.h"

#include "app/panels.h"
#include "link/connect_page.h"
#include "link/link_ui.h"
#include "params/transfer.h"
#include "platform/runtime.h"
#include "platform/tab_control.h"

#include <QLabel>
#include <QPlainTextEdit>
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
};

PanelLinkUi gPanelLinkUi;

} // namespace

void InstallPanelLinkUi() {
    com232::SetLinkUi(&gPanelLinkUi);
}

} // namespace app
