// The texts of the viewer window: the fields of the frame under the cursor,
// the figures of the shown frames and the status line.
#include "record/record_viewer.h"

#include <QDateTime>
#include <QLabel>
#include <QPlainTextEdit>

namespace record {
namespace {

QString DateTimeText(int64_t seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString("MM-dd-yyyy HH:mm:ss");
}

} // namespace

QString RecordViewer::CursorText() const {
    if (cursorFrame_ >= run_.Frames()) {
        return {};
    }
    QString text =
        QString("FRAME %1   %2  ").arg(cursorFrame_).arg(DateTimeText(run_.seconds[cursorFrame_]));
    for (int f = 0; f < kRecordFieldCount; ++f) {
        text += QString("   %1 %2").arg(RecordFieldName(f)).arg(run_.Value(f, cursorFrame_));
    }
    return text;
}

QString RecordViewer::SummaryText() const {
    const FrameRange frames = ShownFrames();
    const SpanSummary s = Summarize(run_, frames);
    QString text =
        QString("%1: %2 FRAMES").arg(hasSpan_ ? "SELECTED SPAN" : "IN VIEW").arg(s.frames);
    if (s.frames > 0) {
        text += QString(", %1 .. %2 (FRAME %3 .. %4)")
                    .arg(DateTimeText(run_.seconds[frames.first]),
                         DateTimeText(run_.seconds[frames.last - 1]))
                    .arg(frames.first)
                    .arg(frames.last - 1);
    }
    text +=
        QString("\n\n%1 %2 %3 %4\n").arg("FIELD", -8).arg("MEAN", 10).arg("MIN", 8).arg("MAX", 8);
    for (int f = 0; f < kRecordFieldCount && s.frames > 0; ++f) {
        text += QString("%1 %2 %3 %4\n")
                    .arg(RecordFieldName(f), -8)
                    .arg(s.field[f].mean, 10, 'f', 1)
                    .arg(s.field[f].min, 8)
                    .arg(s.field[f].max, 8);
    }
    auto counts = [](const std::map<int32_t, size_t>& m, const char* none) {
        QString line;
        for (const auto& [value, n] : m) {
            line += value == kNoMatchColor ? QString("  %1 (255): %2").arg(none).arg(n)
                                           : QString("  %1: %2").arg(value).arg(n);
        }
        return line;
    };
    text += "\nFRAMES PER COLOR:" + counts(s.perColor, "NO MATCH");
    text += "\nFRAMES PER GROUP:" + counts(s.perGroup, "NO GROUP");
    return text;
}

void RecordViewer::UpdateSummary() {
    const QString text = SummaryText();
    if (summary_->toPlainText() != text) {
        summary_->setPlainText(text);
    }
}

QString RecordViewer::StatusText() const {
    QString text = QString("%1 FRAMES IN %2").arg(run_.Frames()).arg(path_);
    if (!run_.panelId.empty()) {
        text += QString("   PANEL ID: %1").arg(QString::fromStdString(run_.panelId));
    }
    if (reader_.skippedLines() > 0) {
        text += QString("\n%1 LINES DO NOT PARSE AND ARE SKIPPED; THE FIRST IS LINE %2.")
                    .arg(reader_.skippedLines())
                    .arg(reader_.firstSkippedLine());
    }
    if (cancelled_) {
        text += "\nREADING WAS CANCELLED: ONLY THE FRAMES READ BEFORE ARE SHOWN.";
    }
    if (reader_.pendingLine()) {
        text += "\nTHE LAST LINE HAS NO LINE END YET.";
    }
    return text;
}

void RecordViewer::UpdateStatus() {
    status_->setText(StatusText());
}

} // namespace record
