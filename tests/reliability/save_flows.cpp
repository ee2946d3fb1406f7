#include "tests/reliability/save_flows.h"

#include "app/panel_settings.h"
#include "app/panels.h"
#include "app/shell.h"
#include "calib/hw_info_file.h"
#include "platform/widgets.h"
#include "record/record_file.h"
#include "record/record_texts.h"
#include "record/recorder.h"
#include "record/recorder_logic.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace reliability {
namespace {

namespace fs = std::filesystem;
using platform::PopupKind;

std::string Crlf(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

} // namespace

const std::vector<KindInfo>& AllKinds() {
    static const std::vector<KindInfo> kinds = {
        {FileKind::Settings, "settings", "PanelSettings.cfg", true},
        {FileKind::Parameter, "parameter", "Parameter.ini", true},
        {FileKind::Attributes, "attributes", "TableAttributes.ini", true},
        {FileKind::HwInfo, "hwinfo", "HardwareInitialFile.ini", true},
        {FileKind::RecordHeader, "record-header", "RecordFile.dat", true},
        {FileKind::RecordLine, "record-line", "RecordFile.dat", false},
    };
    return kinds;
}

const KindInfo* KindNamed(const std::string& name) {
    for (const KindInfo& k : AllKinds()) {
        if (name == k.name) {
            return &k;
        }
    }
    return nullptr;
}

std::string TargetPath(const KindInfo& kind, const std::string& dir) {
    return dir + "/" + kind.fileName;
}

std::string OldContent(FileKind kind, unsigned sensorPort) {
    switch (kind) {
    case FileKind::Settings:
        return Crlf({"[GENERAL INFO]", "FILE TYPE: = \"Panel Settings\"",
                     "SCOPE VERSION: = \"CHROMIK3 Scope V4.3\"", "PANEL ID: = \"OLD LINE 7\"", "",
                     "[COMMUNICATION SETTINGS]", "COMPROTOCOL = 1", "IP ADRESS = \"127.0.0.1\""}) +
               "PORT NUMBER = \"" + std::to_string(sensorPort) + "\"\r\n\r\n";
    case FileKind::Parameter:
        return Crlf({"[GENERAL INFO]", "FILE TYPE: = \"Parameter File\"",
                     "SCOPE VERSION: = \"CHROMIK3 Scope V4.3\"", "", "[PARAMETER]", "POWER = 321",
                     "AVERAGE = 4", ""});
    case FileKind::Attributes:
        return Crlf({"[GENERAL INFO]", "FILE TYPE: = \"Table Attributes\"",
                     "SCOPE VERSION: = \"CHROMIK3 Scope V4.3\"", "",
                     "[TABLE ATTR OF TEACH VECTOR 0]", "Row color = 1122867",
                     "Row specification = \"old lid\"", ""});
    case FileKind::HwInfo:
        return Crlf({"[GENERAL INFO]", "FILE TYPE: = \"Hardware Initial File\"",
                     "SCOPE VERSION: = \"CHROMIK3 Scope V4.3.1\"", "", "[CALIBRATION FACTOR]",
                     "CF RED = 1000", ""});
    case FileKind::RecordHeader:
    case FileKind::RecordLine:
        return record::RecordFileHeader(app::kProgramTitle, "OLD LINE 7") +
               "07-04-2025\t09:05:03\t1000\t2000\t3000\t167\t333\t2000\t-1\t255\t255\t0\t300\r\n"
               "07-04-2025\t09:05:04\t1001\t2000\t3000\t167\t333\t2000\t-1\t255\t255\t0\t300\r\n";
    }
    return {};
}

void RunSave(const KindInfo& kind, const std::string& path, platform::ScriptedPopups& user,
             bool closing) {
    app::Panels& p = app::P();
    switch (kind.kind) {
    case FileKind::Settings:
        // The settings file lives in the program's directory; no dialog.
        if (closing) {
            app::CBF_MAINP(p.main.window, ctl::Event::Close);
        } else {
            p.connect.accept->click();
        }
        break;
    case FileKind::Parameter:
        p.main.file->click();
        user.Answer(platform::kExistingFileSelected, path);
        p.main.send->click();
        break;
    case FileKind::Attributes:
        user.Answer(platform::kExistingFileSelected, path);
        p.attributes.save->click();
        break;
    case FileKind::HwInfo:
        // The button is usable once after each connection test.
        if (!p.connect.hwInfo->isEnabled()) {
            p.connect.tryToConnect->click();
        }
        user.Answer(platform::kExistingFileSelected, path);
        p.connect.hwInfo->click();
        break;
    case FileKind::RecordHeader:
        // Then "File already exist!" (yes) and the reminder (OK).
        user.Answer(platform::kExistingFileSelected, path);
        p.recorder.selectFile->click();
        break;
    case FileKind::RecordLine:
        // The record file as the settings file names it at start-up.
        app::Paths().recorderFile = path;
        p.recorder.filePath->setText(QString::fromStdString(path));
        p.recorder.mode->SetVal(record::kModeManual);
        p.recorderView->CBF_EditSelectDataRec(p.recorder.mode, ctl::Event::Commit);
        p.recorder.manualRecord->click();
        break;
    }
}

std::string FailureReport(const KindInfo& kind, const std::string& path,
                          const platform::ScriptedPopups& user) {
    if (kind.kind == FileKind::HwInfo) {
        const std::string box = app::P().connect.messages->toPlainText().toStdString();
        const size_t at = box.rfind(conn::kTextHwNotSaved + path);
        return at == std::string::npos ? std::string() : box.substr(at);
    }
    const std::string text = user.LastText("ATTENTION!");
    return text.find(path) == std::string::npos ? std::string() : text;
}

bool AnnouncedAsSaved(const KindInfo& kind, const std::string& path) {
    if (kind.kind != FileKind::HwInfo) {
        return false; // the other saves announce nothing on success
    }
    const std::string box = app::P().connect.messages->toPlainText().toStdString();
    return box.find(conn::kTextHwSaved + path) != std::string::npos;
}

std::vector<std::string> TemporaryFiles(const std::string& dir) {
    std::vector<std::string> found;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(dir, ec)) {
        const std::string name = e.path().filename().string();
        if (name.rfind("ini$$", 0) == 0 || name.find(".new") != std::string::npos) {
            found.push_back(name);
        }
    }
    return found;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

} // namespace reliability
