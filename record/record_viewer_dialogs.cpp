// The dialogs of the viewer window's buttons: open another or a recent
// record file, compare and align a second run, mark a frame, copy the
// summary, print the report.
#include "platform/popups.h"
#include "record/record_texts.h"
#include "record/record_viewer_parts.h"
#include "record/record_viewers.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>

namespace record {

QString RecordViewer::RecentListPath() const {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + "/recent-records";
}

void RecordViewer::RememberRecent() {
    QDir().mkpath(QFileInfo(RecentListPath()).absolutePath());
    std::string error;
    AddRecentFile(RecentListPath().toStdString(), path_.toStdString(), &error); // a convenience
}

void RecordViewer::FillOpenMenu() {
    QMenu* menu = open_->menu();
    menu->clear();
    menu->addAction("OPEN RECORD FILE...\tCtrl+O", this, [this]() { OpenDialog(); });
    menu->addAction("COMPARE WITH...", this, [this]() { CompareDialog(); });
    if (overlay_ != nullptr && cursorSet_) {
        menu->addAction("ALIGN COMPARED RUN AT CURSOR FRAME...", this, [this]() { AlignDialog(); });
    }
    menu->addSeparator();
    for (const std::string& file : ReadRecentFiles(RecentListPath().toStdString())) {
        const QString name = QString::fromStdString(file);
        if (name != path_ && QFileInfo::exists(name)) {
            menu->addAction(name, this, [this, file]() { OpenAnother(file); });
        }
    }
}

void RecordViewer::OpenDialog() {
    std::string path;
    if (ChooseRecordFile(QFileInfo(path_).absolutePath().toStdString(), "", "VIEW RECORD FILE",
                         &path)) {
        OpenAnother(path);
    }
}

void RecordViewer::OpenAnother(const std::string& path) {
    if (viewers_ != nullptr) {
        viewers_->Open(path);
    }
}

void RecordViewer::CompareDialog() {
    std::string path;
    if (!Loading() && ChooseRecordFile(QFileInfo(path_).absolutePath().toStdString(), "",
                                       "COMPARE WITH RECORD FILE", &path)) {
        CompareWith(QString::fromStdString(path));
    }
}

void RecordViewer::AlignDialog() {
    std::string answer;
    const std::string frame = FrameAndLine(run_, cursorFrame_).toStdString();
    if (!overlay_ || platform::PromptPopup("ALIGN COMPARED RUN",
                                           "The frame of the compared run (1 .. " +
                                               std::to_string(overlay_->run.Frames()) +
                                               ") to lay on " + frame + ": ",
                                           &answer, 12) != 1) {
        return;
    }
    bool ok = false;
    const qulonglong number = QString::fromStdString(answer).trimmed().toULongLong(&ok);
    if (!ok || number < 1 || number > overlay_->run.Frames()) {
        platform::MessagePopup(kTitleAttention,
                               "THERE IS NO FRAME " + answer + " IN THE COMPARED RUN! ");
        return;
    }
    AlignOverlay(cursorFrame_, static_cast<size_t>(number - 1));
}

void RecordViewer::MarkDialog() {
    if (!cursorSet_ || cursorFrame_ >= run_.Frames()) {
        return;
    }
    std::string note;
    const QString frame = FrameAndLine(run_, cursorFrame_);
    if (platform::PromptPopup(
            "MARK " + frame.toStdString(),
            "A note for " + frame.toStdString() + " (an empty note removes the mark): ", &note,
            200) != 1) {
        return;
    }
    std::string error;
    if (!(note.empty() ? RemoveMark(cursorFrame_, &error) : SetMark(cursorFrame_, note, &error))) {
        platform::MessagePopup(kTitleAttention, error);
    }
}

void RecordViewer::CopySummary() {
    QApplication::clipboard()->setText(SummaryTable());
}

void RecordViewer::PrintDialog() {
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setDocName(windowTitle());
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted && !PaintReport(&printer)) {
        platform::MessagePopup(kTitleAttention, "THE REPORT CAN NOT BE PRINTED! ");
    }
}

} // namespace record
