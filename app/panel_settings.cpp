#include "app/panel_settings.h"

#include "app/panels.h"
#include "app/shell.h"
#include "inifile/file_text.h"
#include "link/com232.h"
#include "link/connect_page.h"
#include "params/parameter_file.h"
#include "params/parameter_model.h"
#include "platform/popups.h"
#include "platform/widgets.h"
#include "teach/attributes.h"
#include "teach/row_colours.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>

namespace app {
namespace {

settings::DirectorySettings gPaths;
std::string gPanelId;

bool FileExists(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).isFile();
}

// Reads the settings file into a new store; empty when it is missing or of another type.
ini::IniStorePtr ReadSettingsStore() {
    const std::string path = PanelSettingsPath();
    if (!FileExists(path)) {
        return {};
    }
    ini::IniStorePtr store = ini::MakeIniStore();
    if (!store || ini::Ini_ReadFromFile(store.get(), path) < 0 ||
        !settings::IsPanelSettings(store.get())) {
        return {};
    }
    return store;
}

void ApplyPlacement(const settings::WindowPlacement& w) {
    QWidget* window = P().main.window;
    if (w.zoom == settings::kWindowZoomMaximised) {
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
        return;
    }
    window->move(w.left, w.top);
    window->resize(w.width, w.height);
}

} // namespace

settings::DirectorySettings& Paths() {
    return gPaths;
}
std::string& PanelId() {
    return gPanelId;
}

void LoadPanelSettings() {
    // The user's files go to the documents folder of an installed program;
    // the settings file keeps the paths the user chose since.
    gPaths = settings::DefaultDirectories(UserFilesDir());
    gPanelId.clear();
    teach::ResetRowColours(P().sensor.model);
    if (ini::IniStorePtr store = ReadSettingsStore()) {
        settings::PanelSettingsContent c =
            settings::ReadPanelSettingsContent(store.get(), UserFilesDir());
        gPanelId = c.panelId;
        if (c.placement) {
            ApplyPlacement(*c.placement);
        }
        gPaths = c.directories;
        for (const std::string& address : c.addressHistory) {
            P().connectView->AppendAddressHistory(address);
        }
        // The row attributes, silently.
        teach::AcquireTableSetFromIniHandle(P().sensor.model, store.get(), 0);
    }
    Panels& p = P();
    p.recorder.filePath->setText(QString::fromStdString(gPaths.recorderFile));
    p.connect.id->SetText(QString::fromStdString(gPanelId));
    P().connectView->ShowSensorId(gPanelId);
    teach::PaintRowColours(P().sensor.model);
}

void GetConnectionSettingsFromFile() {
    settings::ConnectionSettings s;
    if (ini::IniStorePtr store = ReadSettingsStore()) {
        s = settings::ReadConnectionSettings(store.get());
    }
    conn::ConnectPage& c = P().connect;
    c.protocol->SetVal(s.comProtocol);
    P().connectView->SetComPortSelector(s.comPort);
    P().connectView->SetBaudrateSelector(s.baudrateIndex);
    c.address->setEditText(QString::fromStdString(s.ipAddress));
    c.portNumber->SetText(QString::fromStdString(s.portNumber));
    // The link settings are what the page shows now.
    P().connectView->ReadConnectionControls();
}

void StorePanelSettings() {
    Panels& p = P();
    conn::ConnectPage& c = p.connect;
    gPanelId = filetext::CutToChars(c.id->text().toStdString(), settings::kMaxPanelIdChars);

    QWidget* window = p.main.window;
    settings::WindowPlacement placement;
    placement.zoom =
        window->isMaximized() ? settings::kWindowZoomMaximised : settings::kWindowZoomNormal;
    const QRect normal = window->isMaximized() ? window->normalGeometry() : window->geometry();
    placement.left = window->isMaximized() ? normal.x() : window->x();
    placement.top = window->isMaximized() ? normal.y() : window->y();
    placement.width = normal.width();
    placement.height = normal.height();

    P().connectView->ReadConnectionControls();
    settings::ConnectionSettings s;
    s.comProtocol = P().sensor.link.ComProtocol;
    s.comPort = P().sensor.link.ComPort;
    s.baudrateIndex = P().sensor.link.BaudrateIndex;
    s.ipAddress = P().sensor.link.ServerAddress;
    s.portNumber = P().connectView->PortText;

    const std::string path = PanelSettingsPath();
    ini::IniStorePtr store = ini::MakeIniStore();
    int rc = ini::kIniErrNoMemory;
    if (store) {
        settings::PutPanelSettings(store.get(), gPanelId, placement, gPaths,
                                   P().connectView->AddressHistory(), s);
        teach::AppendTableSetToIniHandle(P().sensor.model, store.get());
        // Written beside the file and renamed over it: a failed write leaves
        // the old settings as they were.
        rc = ini::Ini_WriteToFile(store.get(), path);
    }
    if (rc < 0) {
        // The settings of this session are lost unless the user learns of it.
        platform::MessagePopup("ATTENTION!",
                               params::FileWriteFailureText("The panel settings", path, rc));
    }
}

} // namespace app
