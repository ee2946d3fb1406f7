// The texts of the viewer window: the fields of the frame under the cursor,
// the figures of the shown frames (as text and as a table for a
// spreadsheet), the choice of frames to show and the status line.
#include "live/live_math.h"
#include "params/parameter_model.h"
#include "record/record_viewer_parts.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>

namespace record {

QString FrameAndLine(const RecordRun& run, size_t frame) {
    return QString("FRAME %1 (LINE %2)").arg(frame + 1).arg(run.LineOfFrame(frame));
}

QString FrameTime(const RecordRun& run, size_t frame) {
    return QString::fromStdString(RecordFileTime(run.seconds[frame]));
}

SpanSummary RecordViewer::ShownSummary() const {
    const params::ParameterModel& model = model_;
    const uint16_t mode = model.CalculationMode();
    RowCentre centres[params::kTeachRows];
    for (int row = 0; row < params::kTeachRows; ++row) {
        const live::RowShape s = live::ShapeOfRow(model.Table(), row, mode);
        centres[row] = {s.r > 0, s.x, s.y, s.i};
    }
    return Summarize(run_, ShownFrames(), filter_, centres, params::kTeachRows, params::Is3D(mode));
}

QString RecordViewer::CursorText() const {
    if (!cursorSet_ || cursorFrame_ >= run_.Frames()) {
        return {};
    }
    QString text = FrameAndLine(run_, cursorFrame_) + "   " + FrameTime(run_, cursorFrame_) + "  ";
    for (int f = 0; f < kRecordFieldCount; ++f) {
        text += QString("   %1 %2").arg(RecordFieldName(f)).arg(run_.Value(f, cursorFrame_));
    }
    for (const FrameMark& m : marks_) {
        if (m.frame == cursorFrame_) {
            text += "\nMARK: " + QString::fromStdString(m.note);
        }
    }
    return text;
}

namespace {

QString FilterName(const FrameFilter& f) {
    if (f.All()) {
        return {};
    }
    return QString(" OF %1 %2")
        .arg(f.kind == FrameFilter::Kind::Color ? "COLOR" : "GROUP")
        .arg(f.value);
}

} // namespace

QString RecordViewer::SummaryText() const {
    const FrameRange frames = ShownFrames();
    const SpanSummary s = ShownSummary();
    QString text = QString("%1: %2 FRAMES%3")
                       .arg(hasSpan_ ? "SELECTED SPAN" : "IN VIEW")
                       .arg(s.frames)
                       .arg(FilterName(filter_));
    if (frames.last > frames.first) {
        text += QString(", %1 .. %2 (FRAME %3 .. %4)")
                    .arg(FrameTime(run_, frames.first), FrameTime(run_, frames.last - 1))
                    .arg(frames.first + 1)
                    .arg(frames.last);
    }
    text += QString("\n\n%1 %2 %3 %4 %5\n")
                .arg("FIELD", -8)
                .arg("MEAN", 10)
                .arg("SD", 9)
                .arg("MIN", 7)
                .arg("MAX", 7);
    for (int f = 0; f < kRecordFieldCount && s.frames > 0; ++f) {
        text += QString("%1 %2 %3 %4 %5\n")
                    .arg(RecordFieldName(f), -8)
                    .arg(s.field[f].mean, 10, 'f', 1)
                    .arg(s.field[f].sd, 9, 'f', 2)
                    .arg(s.field[f].min, 7)
                    .arg(s.field[f].max, 7);
    }
    if (!s.perColorFigures.empty()) {
        text += QString("\n%1 %2 %3 %4 %5 %6 %7\n")
                    .arg("COLOR", -9)
                    .arg("FRAMES", 8)
                    .arg("SHARE", 7)
                    .arg("X MEAN/SD", 15)
                    .arg("Y MEAN/SD", 15)
                    .arg("INT MEAN/SD", 15)
                    .arg("DIST MEAN/MAX", 15);
    }
    for (const ColorFigures& c : s.perColorFigures) {
        QString line =
            QString("%1 %2 %3")
                .arg(c.color == kNoMatchColor ? QString("NO MATCH") : QString::number(c.color), -9)
                .arg(c.frames, 8)
                .arg(QString::number(100 * c.share, 'f', 1) + "%", 7);
        for (const FieldFigures& f : c.xyi) {
            line += QString(" %1").arg(
                QString::number(f.mean, 'f', 1) + "/" + QString::number(f.sd, 'f', 1), 15);
        }
        line += QString(" %1").arg(c.hasCentre ? QString::number(c.meanDistance, 'f', 1) + "/" +
                                                     QString::number(c.maxDistance, 'f', 1)
                                               : QString("-"),
                                   15);
        text += line + "\n";
    }
    QString groups;
    for (const auto& [value, n] : s.perGroup) {
        groups += value == kNoMatchColor ? QString("  NO GROUP (255): %1").arg(n)
                                         : QString("  %1: %2").arg(value).arg(n);
    }
    text += "\nFRAMES PER GROUP:" + groups;
    if (s.frames > 0) {
        text += "\nDIST: distance of X, Y" +
                QString(params::Is3D(model_.CalculationMode()) ? " and INT" : "") +
                " to the row's taught centre. SD: sample standard deviation.";
    }
    return text;
}

QString RecordViewer::SummaryTable() const {
    const SpanSummary s = ShownSummary();
    const FrameRange frames = ShownFrames();
    QString text = QString("FILE\t%1\nFRAMES\t%2").arg(path_).arg(s.frames);
    if (frames.last > frames.first) {
        text += QString("\nFROM\tFRAME %1\t%2\nTO\tFRAME %3\t%4")
                    .arg(frames.first + 1)
                    .arg(QString::fromStdString(IsoTime(run_.seconds[frames.first])))
                    .arg(frames.last)
                    .arg(QString::fromStdString(IsoTime(run_.seconds[frames.last - 1])));
    }
    text += "\n\nFIELD\tMEAN\tSD\tMIN\tMAX\n";
    for (int f = 0; f < kRecordFieldCount && s.frames > 0; ++f) {
        text += QString("%1\t%2\t%3\t%4\t%5\n")
                    .arg(RecordFieldName(f))
                    .arg(s.field[f].mean, 0, 'f', 2)
                    .arg(s.field[f].sd, 0, 'f', 2)
                    .arg(s.field[f].min)
                    .arg(s.field[f].max);
    }
    text += "\nCOLOR\tFRAMES\tSHARE %\tX MEAN\tX SD\tY MEAN\tY SD\tINT MEAN\tINT SD\tDIST "
            "MEAN\tDIST MAX\n";
    for (const ColorFigures& c : s.perColorFigures) {
        text += QString("%1\t%2\t%3").arg(c.color).arg(c.frames).arg(100 * c.share, 0, 'f', 2);
        for (const FieldFigures& f : c.xyi) {
            text += QString("\t%1\t%2").arg(f.mean, 0, 'f', 2).arg(f.sd, 0, 'f', 2);
        }
        text +=
            c.hasCentre
                ? QString("\t%1\t%2\n").arg(c.meanDistance, 0, 'f', 2).arg(c.maxDistance, 0, 'f', 2)
                : QString("\t\t\n");
    }
    return text;
}

void RecordViewer::UpdateSummary() {
    const QString text = SummaryText();
    if (summary_->toPlainText() != text) {
        summary_->setPlainText(text);
    }
}

void RecordViewer::UpdateFilterChoices() {
    // ALL, then each COLOR and each GROUP the run holds (codes: -1, the
    // value, 1000 + the value).
    // The values seen are kept, so a growing run is looked at once.
    if (valuesSeenUpTo_ > run_.Frames()) {
        valuesSeenUpTo_ = 0;
        valuesSeen_.assign(2000, false);
    }
    valuesSeen_.resize(2000, false);
    for (size_t i = valuesSeenUpTo_; i < run_.Frames(); ++i) {
        const int32_t c = run_.field[kFieldColor][i];
        const int32_t g = run_.field[kFieldGroup][i];
        if (c >= 0 && c < 1000) {
            valuesSeen_[static_cast<size_t>(c)] = true;
        }
        if (g >= 0 && g < 1000) {
            valuesSeen_[1000 + static_cast<size_t>(g)] = true;
        }
    }
    valuesSeenUpTo_ = run_.Frames();
    QList<int> codes = {-1};
    for (int code = 0; code < 2000; ++code) {
        if (valuesSeen_[static_cast<size_t>(code)]) {
            codes.push_back(code);
        }
    }
    if (!filter_.All() &&
        !codes.contains(filter_.value + (filter_.kind == FrameFilter::Kind::Group ? 1000 : 0))) {
        codes.push_back(filter_.value + (filter_.kind == FrameFilter::Kind::Group ? 1000 : 0));
    }
    QList<int> now;
    for (int i = 0; i < filterBox_->count(); ++i) {
        now.push_back(filterBox_->itemData(i).toInt());
    }
    if (now != codes) {
        filterBox_->clear();
        for (int code : codes) {
            filterBox_->addItem(code < 0      ? QString("ALL FRAMES")
                                : code < 1000 ? QString("COLOR %1").arg(code)
                                              : QString("GROUP %1").arg(code - 1000),
                                code);
        }
    }
    const int wanted =
        filter_.All() ? -1 : filter_.value + (filter_.kind == FrameFilter::Kind::Group ? 1000 : 0);
    filterBox_->setCurrentIndex(std::max(0, filterBox_->findData(wanted)));
}

QString RecordViewer::StatusText() const {
    QString text = QString("%1 FRAMES IN %2").arg(run_.Frames()).arg(path_);
    if (!run_.panelId.empty()) {
        text += QString("   PANEL ID: %1").arg(QString::fromStdString(run_.panelId));
    }
    if (shown_ && run_.Frames() == 0) {
        text += "\nTHE FILE HOLDS NO FRAMES" + QString(following_ ? " YET." : ".");
    }
    if (overlay_) {
        text += QString("\nCOMPARED WITH %1 (%2 FRAMES, DASHED LINES AND OPEN SQUARES), ITS FRAME "
                        "%3 LAID ON FRAME %4.")
                    .arg(overlay_->path)
                    .arg(overlay_->run.Frames())
                    .arg(overlay_->overlayFrame + 1)
                    .arg(overlay_->frame + 1);
    }
    if (reader_.skippedLines() > 0) {
        text += QString("\n%1 LINES DO NOT PARSE AND ARE SKIPPED; THE FIRST IS LINE %2 OF THE FILE "
                        "(FRAMES COUNT THE DATA LINES READ, LINES EVERY LINE OF THE FILE).")
                    .arg(reader_.skippedLines())
                    .arg(reader_.firstSkippedLine());
    }
    for (const TimeAxis::StepBack& step : times_.stepsBack) {
        text += QString("\nTHE CLOCK STEPS BACK BY %1 S AT %2: THE TIME AXIS RUNS ON BY FRAME, ITS "
                        "TIMES FROM THERE %1 S LATER THAN RECORDED.")
                    .arg(step.seconds)
                    .arg(FrameAndLine(run_, step.frame));
        if (&step - times_.stepsBack.data() == 2 && times_.stepsBack.size() > 3) {
            text += QString(" (%1 MORE STEPS BACK)").arg(times_.stepsBack.size() - 3);
            break;
        }
    }
    if (cancelled_) {
        text += "\nREADING WAS CANCELLED: ONLY THE FRAMES READ BEFORE ARE SHOWN.";
    } else if (following_ && reader_.pendingLine()) {
        text += "\nTHE LAST LINE HAS NO LINE END YET.";
    }
    if (!note_.isEmpty()) {
        text += "\n" + note_;
    }
    return text;
}

void RecordViewer::UpdateStatus() {
    status_->setText(StatusText());
}

} // namespace record
