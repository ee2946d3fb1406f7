#include "record/record_viewers.h"

#include "platform/popups.h"
#include "record/record_viewer.h"
#include "record/record_viewer_parts.h"

#include <QFileInfo>

#include <algorithm>

namespace record {

RecordViewers::~RecordViewers() {
    CloseAll();
}

RecordViewer* RecordViewers::Open(const std::string& path) {
    const QString file = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    for (RecordViewer* v : open_) {
        if (v->Path() == file) {
            v->showNormal();
            v->raise();
            v->activateWindow();
            return v;
        }
    }
    auto* v = new RecordViewer(model_, file, nullptr, false, this);
    v->setAttribute(Qt::WA_DeleteOnClose);
    v->show();
    return v;
}

void RecordViewers::ChooseAndOpen(const std::string& recordFile) {
    // The dialog starts where the record file lies, with it selected.
    const QFileInfo record(QString::fromStdString(recordFile));
    const bool known = !record.filePath().isEmpty();
    std::string path;
    if (ChooseRecordFile(known ? record.absolutePath().toStdString() : "",
                         known && record.exists() ? record.fileName().toStdString() : "",
                         "VIEW RECORD FILE", &path)) {
        Open(path);
    }
}

void RecordViewers::CloseAll() {
    // Each window leaves the list as it goes.
    while (!open_.empty()) {
        delete open_.back();
    }
}

void RecordViewers::SetClosedHandler(std::function<void(bool shown, bool last)> handler) {
    closed_ = std::move(handler);
}

void RecordViewers::Add(RecordViewer* viewer) {
    open_.push_back(viewer);
}

void RecordViewers::Closed(RecordViewer* viewer, bool shown) {
    std::erase(open_, viewer);
    if (closed_) {
        const auto closed = closed_; // the handler may replace itself
        closed(shown, open_.empty());
    }
}

} // namespace record
