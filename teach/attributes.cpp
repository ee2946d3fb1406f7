#include "teach/attributes.h"

#include "app/panel_settings.h"
#include "app/panels.h"
#include "live/graphs.h"
#include "params/parameter_file.h"
#include "platform/popups.h"
#include "platform/widgets.h"
#include "teach/attributes_file.h"
#include "teach/row_colours.h"

#include <QFileInfo>
#include <QPushButton>

namespace teach {
namespace {

constexpr int kAutomaticColours = 1;
constexpr const char* kAttention = "ATTENTION!";
constexpr const char* kTextNoFile = "No file was selected!";

// Asks for the attributes file, starting where the last one was.
int SelectAttributesFile(std::string* path) {
    const QFileInfo last(QString::fromStdString(app::Paths().tableAttributesFile));
    platform::FileSelectRequest r;
    // A remembered directory (the start value of a settings file without the
    // key) is itself the place to start.
    r.directory = (last.isDir() ? last.absoluteFilePath() : last.absolutePath()).toStdString();
    r.defaultName = kTableAttributesFileName;
    r.filter = "*.ini";
    r.title = "TableAttributes";
    r.allowCancel = true;
    r.allowMakeDirectory = true;
    const int result = platform::FileSelectPopup(r, path);
    if (result != platform::kNoFileSelected) {
        app::Paths().tableAttributesFile = *path;
    }
    return result;
}

} // namespace

void AppendTableSetToIniHandle(ini::IniStore* store) {
    ctl::U16Table* table = app::P().attributes.table;
    RowAttributes rows;
    for (int r = 0; r < kAttributeRows; ++r) {
        RowColours[r] = table->CellBackground(r + 1, 2);
        rows.colour[r] = RowColours[r];
        rows.rowText[r] = table->Text(r + 1, 1).toStdString();
    }
    PutRowAttributes(store, rows);
}

void AcquireTableSetFromIniHandle(ini::IniStore* store, int showPopup) {
    RowAttributes rows;
    std::string message = kTextAttributesNotRead;
    const int failed = GetRowAttributes(store, &rows, &message);
    ctl::U16Table* table = app::P().attributes.table;
    for (int r = 0; r < kAttributeRows; ++r) {
        RowColours[r] = rows.colour[r];
        table->SetText(r + 1, 1, QString::fromStdString(rows.rowText[r]));
    }
    if (showPopup == 1 && failed > 0) {
        platform::MessagePopup("Attention!", message);
    }
}

void SaveTableSettings() {
    std::string path;
    if (SelectAttributesFile(&path) == platform::kNoFileSelected) {
        platform::MessagePopup(kAttention, kTextNoFile);
        return;
    }
    ini::IniStorePtr store = ini::MakeIniStore();
    int rc = ini::kIniErrNoMemory;
    if (store) {
        PutTableAttributesHeader(store.get());
        AppendTableSetToIniHandle(store.get());
        rc = ini::Ini_WriteToFile(store.get(), path);
    }
    if (rc < 0) {
        // The old file, if any, is left as it was.
        platform::MessagePopup(kAttention, "The table attributes could not be saved to\n" + path +
                                               "\n" + params::IniWriteFailureReason(rc) +
                                               "\n\nThe file is unchanged.");
    }
}

void GetTableSettings() {
    std::string path;
    if (SelectAttributesFile(&path) != platform::kExistingFileSelected) {
        platform::MessagePopup(kAttention, kTextNoFile);
        return;
    }
    ini::IniStorePtr store = ini::MakeIniStore();
    if (!store) {
        return;
    }
    // An unreadable file is treated as one without any keys: the file-type
    // question comes first.
    ini::Ini_ReadFromFile(store.get(), path);
    bool proceed = true;
    if (FileTypeOf(store.get()) != kTableAttributesFileType) {
        proceed = platform::ConfirmPopup(kAttention, "Selected file is not a table attributes "
                                                     "file! \nDo you want to proceed anyway?") == 1;
    }
    if (proceed && VersionOf(store.get()) != kTableAttributesVersion) {
        proceed =
            platform::ConfirmPopup(kAttention, "Selected file and scope version do not "
                                               "match! \nDo you want to proceed anyway?") == 1;
    }
    if (!proceed) {
        platform::MessagePopup(kAttention, "No parameter where read!");
        return;
    }
    AcquireTableSetFromIniHandle(store.get(), 1);
    PaintRowColours();
    live::InitGraphs();
}

void SetRowColor() {
    AttributesPage& a = app::P().attributes;
    const int row = a.row->value();
    if (row < 0 || row >= kAttributeRows) {
        return;
    }
    RowColours[row] = a.color->Color() & kMaxColour;
    PaintRowColours();
    live::InitGraphs();
}

void InitSrcPanel() {
    app::Panels& p = app::P();
    AttributesPage& a = p.attributes;
    const bool automatic = a.colorMode->Val() == kAutomaticColours;
    for (QWidget* w : {static_cast<QWidget*>(a.color), static_cast<QWidget*>(a.setColor),
                       static_cast<QWidget*>(a.row)}) {
        w->setEnabled(!automatic);
    }
    p.data.colorPatch->setVisible(automatic);
}

int CBF_EditSetColor(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        InitSrcPanel();
    }
    return 0;
}

int CBF_EditRow(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        InitSrcPanel();
    }
    return 0;
}

int CBF_EditColorNumericRow(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        InitSrcPanel();
    }
    return 0;
}

int CBF_ButtonSetRowColor(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        SetRowColor();
    }
    return 0;
}

int CBF_ButtonSaveArray(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        SaveTableSettings();
    }
    return 0;
}

int CBF_ButtonGetArray(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        GetTableSettings();
    }
    return 0;
}

int CBF_ButtonTableAttrReset(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit ||
        platform::ConfirmPopup(kAttention, "Do you really want to reset the table?") != 1) {
        return 0;
    }
    ctl::U16Table* table = app::P().attributes.table;
    for (int r = 0; r < kAttributeRows; ++r) {
        table->SetText(r + 1, 1, QString());
    }
    ResetRowColours();
    PaintRowColours();
    live::InitGraphs();
    return 0;
}

} // namespace teach
