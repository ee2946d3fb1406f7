#include "teach/attributes.h"

#include "live/graphs.h"
#include "live/live_ui.h"
#include "params/parameter_file.h"
#include "params/parameter_model.h"
#include "platform/popups.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"
#include "teach/attributes_file.h"

#include <QFileInfo>
#include <QPushButton>

namespace teach {
namespace {

constexpr int kAutomaticColours = 1;
constexpr const char* kAttention = "ATTENTION!";
constexpr const char* kTextNoFile = "No file was selected!";

// Asks for the attributes file, starting where the last one was.
int SelectAttributesFile(std::string* path) {
    shell::Shell().PrepareFolderOf(shell::Shell().Paths().tableAttributesFile);
    const QFileInfo last(QString::fromStdString(shell::Shell().Paths().tableAttributesFile));
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
        shell::Shell().Paths().tableAttributesFile = *path;
    }
    return result;
}

} // namespace

void AppendTableSetToIniHandle(const params::ParameterModel& m, ini::IniStore* store) {
    RowAttributes rows;
    for (int r = 0; r < kAttributeRows; ++r) {
        rows.colour[r] = m.RowColour(r);
        rows.rowText[r] = m.RowText(r);
    }
    PutRowAttributes(store, rows);
}

void AcquireTableSetFromIniHandle(params::ParameterModel& m, ini::IniStore* store, int showPopup) {
    RowAttributes rows;
    std::string message = kTextAttributesNotRead;
    const int failed = GetRowAttributes(store, &rows, &message);
    for (int r = 0; r < kAttributeRows; ++r) {
        m.SetRowColour(r, rows.colour[r]);
        m.SetRowText(r, rows.rowText[r]);
    }
    if (showPopup == 1 && failed > 0) {
        platform::MessagePopup("Attention!", message);
    }
}

void AttributesView::SaveTableSettings() {
    std::string path;
    if (SelectAttributesFile(&path) == platform::kNoFileSelected) {
        platform::MessagePopup(kAttention, kTextNoFile);
        return;
    }
    ini::IniStorePtr store = ini::MakeIniStore();
    int rc = ini::kIniErrNoMemory;
    if (store) {
        PutTableAttributesHeader(store.get());
        AppendTableSetToIniHandle(model_, store.get());
        rc = ini::Ini_WriteToFile(store.get(), path);
    }
    if (rc < 0) {
        // The old file, if any, is left as it was.
        platform::MessagePopup(kAttention, "The table attributes could not be saved to\n" + path +
                                               "\n" + params::IniWriteFailureReason(rc) +
                                               "\n\nThe file is unchanged.");
    }
}

void AttributesView::GetTableSettings() {
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
    AcquireTableSetFromIniHandle(model_, store.get(), 1);
    initGraphs_();
}

void AttributesView::SetRowColor() {
    const int row = page_.row->value();
    if (row < 0 || row >= kAttributeRows) {
        return;
    }
    model_.SetRowColour(row, page_.color->Color() & kMaxColour);
    initGraphs_();
}

void AttributesView::InitSrcPanel() {
    AttributesPage& a = page_;
    const bool automatic = a.colorMode->Val() == kAutomaticColours;
    for (QWidget* w : {static_cast<QWidget*>(a.color), static_cast<QWidget*>(a.setColor),
                       static_cast<QWidget*>(a.row)}) {
        w->setEnabled(!automatic);
    }
    data_.colorPatch->setVisible(automatic);
}

int AttributesView::CBF_EditSetColor(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        InitSrcPanel();
    }
    return 0;
}

int AttributesView::CBF_EditRow(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        InitSrcPanel();
    }
    return 0;
}

int AttributesView::CBF_EditColorNumericRow(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        InitSrcPanel();
    }
    return 0;
}

int AttributesView::CBF_ButtonSetRowColor(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        SetRowColor();
    }
    return 0;
}

int AttributesView::CBF_ButtonSaveArray(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        SaveTableSettings();
    }
    return 0;
}

int AttributesView::CBF_ButtonGetArray(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        GetTableSettings();
    }
    return 0;
}

int AttributesView::CBF_ButtonTableAttrReset(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit ||
        platform::ConfirmPopup(kAttention, "Do you really want to reset the table?") != 1) {
        return 0;
    }
    model_.ResetRowColours(/*clearTexts=*/true);
    initGraphs_();
    return 0;
}

} // namespace teach
