// What leaves the viewer window: the report (PDF or printer, A4 landscape,
// graphs as vector graphics, the file's name, the span and its figures), a
// PNG picture of the window, the shown frames as CSV, and the same without
// a window for a script. Files are written under a temporary name that
// takes the file's place only when complete.
#include "platform/graph.h"
#include "platform/popups.h"
#include "platform/runtime.h"
#include "record/record_file.h"
#include "record/record_texts.h"
#include "record/record_viewer_parts.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPdfWriter>
#include <QThread>

#include <algorithm>

namespace record {
namespace {

constexpr double kPageMarginMm = 10;

// Draws `graph` into `target` as vector graphics; a colour view, whose
// margins keep its plot area square on screen, lays itself out anew for it.
void PaintGraph(QCPPainter* painter, ctl::Graph* graph, const QRectF& target, bool square = false) {
    painter->save();
    painter->translate(target.topLeft());
    painter->setMode(QCPPainter::pmVectorized);
    painter->setMode(QCPPainter::pmNoCaching);
    if (square) {
        graph->SetSquarePlotArea(false);
    }
    graph->toPainter(painter, static_cast<int>(target.width()), static_cast<int>(target.height()));
    if (square) {
        graph->SetSquarePlotArea(true);
    }
    painter->restore();
}

// Draws lines of text from `top` down, each wrapped to `width`; returns
// where the next line goes.
double PaintLines(QPainter* painter, const QString& text, const QFont& font, double left,
                  double top, double width, double bottom) {
    painter->setFont(font);
    for (const QString& line : text.split('\n')) {
        const QRectF room(left, top, width, bottom - top);
        const QRectF used = painter->boundingRect(room, Qt::AlignLeft | Qt::TextWordWrap, line);
        if (top + used.height() > bottom) {
            break;
        }
        painter->drawText(room, Qt::AlignLeft | Qt::TextWordWrap, line);
        top += used.height();
    }
    return top;
}

} // namespace

bool RecordViewer::PaintReport(QPagedPaintDevice* device) {
    device->setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                    QMarginsF(kPageMarginMm, kPageMarginMm, kPageMarginMm, kPageMarginMm),
                    QPageLayout::Millimeter));
    RedrawNow();
    QCPPainter painter;
    if (!painter.begin(device)) {
        return false;
    }
    // Laid out in the device's pixels; `pt` of them make a point of the page.
    const double pt = device->logicalDpiY() / 72.0;
    const double w = device->width();
    const double h = device->height();
    QFont title("DejaVu Sans", 12, QFont::Bold);
    QFont plain("DejaVu Sans", 8);
    QFont mono("DejaVu Sans Mono", 7);
    mono.setStyleHint(QFont::Monospace);

    const FrameRange frames = ShownFrames();
    QString span = QString("%1 FRAMES OF %2").arg(frames.last - frames.first).arg(run_.Frames());
    if (frames.last > frames.first) {
        span += QString(" (%1: FRAME %2 .. %3, %4 .. %5)")
                    .arg(hasSpan_ ? "SELECTED SPAN" : "IN VIEW")
                    .arg(frames.first + 1)
                    .arg(frames.last)
                    .arg(FrameTime(run_, frames.first), FrameTime(run_, frames.last - 1));
    }
    double y = PaintLines(&painter, QFileInfo(path_).fileName(), title, 0, 0, w, h);
    QString about = span;
    if (!run_.panelId.empty()) {
        about += "   PANEL ID: " + QString::fromStdString(run_.panelId);
    }
    about += "\n" + path_ + "   " + QString::fromStdString(run_.title);
    y = PaintLines(&painter, about, plain, 0, y, w, h) + 4 * pt;

    const double side = std::min(h - y - 120 * pt, w * 0.38);
    PaintGraph(&painter, series_, QRectF(0, y, w - side - 8 * pt, side));
    // The plane's legend goes below it, where it covers no point.
    plane_[0]->legend->setVisible(false);
    PaintGraph(&painter, plane_[0], QRectF(w - side, y, side, side), true);
    plane_[0]->legend->setVisible(true);
    double legendY = y + side + 4 * pt;
    painter.setFont(plain);
    for (const QCPGraph* row : legendRows_) {
        const double line = QFontMetricsF(plain, painter.device()).lineSpacing();
        if (legendY + line > h) {
            break;
        }
        painter.save();
        row->scatterStyle().applyTo(&painter, row->pen());
        row->scatterStyle().drawShape(&painter, w - side + 5 * pt, legendY + line / 2);
        painter.restore();
        painter.drawText(QRectF(w - side + 12 * pt, legendY, side, line),
                         Qt::AlignLeft | Qt::AlignVCenter, row->name());
        legendY += line;
    }
    y += side + 6 * pt;
    // The status line's notes (skipped lines, the clock, a compared run);
    // its first line said it already.
    const QString status = StatusText();
    const QString notes = status.contains('\n') ? status.mid(status.indexOf('\n') + 1) : "";
    const QString summary = SummaryText();
    const QString fields = summary.section("\n\n", 1, 1);
    y = PaintLines(&painter, fields, mono, 0, y, w * 0.5, h);
    PaintLines(&painter, notes, plain, w * 0.4, h - 114 * pt, w - side - w * 0.4, h);

    // Page 2: every figure, the marks and in the 3D modes the other views.
    if (!device->newPage()) {
        painter.end();
        return false;
    }
    y = PaintLines(&painter, QFileInfo(path_).fileName() + ": FIGURES", title, 0, 0, w, h) + 4 * pt;
    QString marks;
    for (const FrameMark& m : marks_) {
        if (m.frame < run_.Frames()) {
            marks += "\n" + FrameAndLine(run_, m.frame) + "  " + FrameTime(run_, m.frame) + "  " +
                     QString::fromStdString(m.note);
        }
    }
    const bool threeD = !planeBox_[1]->isHidden();
    const double textWidth = threeD ? w * 0.62 : w;
    PaintLines(&painter, summary + (marks.isEmpty() ? "" : "\n\nMARKS:" + marks), mono, 0, y,
               textWidth, h);
    if (threeD) {
        const double small = std::min((h - y) / 2 - 4 * pt, w - textWidth - 8 * pt);
        PaintGraph(&painter, plane_[1], QRectF(w - small, y, small, small), true);
        PaintGraph(&painter, plane_[2], QRectF(w - small, y + small + 8 * pt, small, small), true);
    }
    const bool ok = painter.end();
    RedrawNow(); // the graphs at their own size again
    return ok;
}

bool RecordViewer::ExportTo(const QString& file, std::string* error) {
    const QString ending = QFileInfo(file).suffix().toLower();
    QByteArray bytes;
    bool made = false;
    if (ending == "pdf") {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setTitle(windowTitle());
        writer.setCreator("CHROMIK3 Scope V4.3");
        writer.setResolution(72); // a pixel of the layout is a point of the page
        made = PaintReport(&writer);
    } else if (ending == "png") {
        RedrawNow();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        made = grab().save(&buffer, "PNG");
    } else if (ending == "csv") {
        const std::string csv = SpanCsv(run_, ShownFrames(), filter_);
        bytes = QByteArray(csv.data(), static_cast<qsizetype>(csv.size()));
        made = true;
    } else {
        *error = "THE FILE CAN NOT BE WRITTEN! \n" + file.toStdString() +
                 "\nits name must end in .pdf, .png or .csv";
        return false;
    }
    std::string reason = "the picture could not be made";
    if (!made || !StartRecordFile(file.toStdString(), bytes.toStdString(), &reason)) {
        *error = "THE FILE CAN NOT BE WRITTEN! \n" + file.toStdString() + "\n" + reason;
        return false;
    }
    return true;
}

void RecordViewer::ExportDialog() {
    platform::FileSelectRequest request;
    request.directory = QFileInfo(path_).absolutePath().toStdString();
    request.defaultName = QFileInfo(path_).completeBaseName().toStdString() + ".pdf";
    request.filter = "*.pdf *.png *.csv";
    request.title = "EXPORT AS PDF, PNG OR CSV";
    std::string file;
    if (platform::FileSelectPopup(request, &file) == platform::kNoFileSelected) {
        return;
    }
    QString name = QString::fromStdString(file);
    const QString ending = QFileInfo(name).suffix().toLower();
    if (ending != "pdf" && ending != "png" && ending != "csv") {
        name += ".pdf";
    }
    std::string error;
    if (!ExportTo(name, &error)) {
        platform::MessagePopup(kTitleAttention, error);
    }
}

int ExportRecordWithoutWindow(params::ParameterModel& model, const std::string& recordPath,
                              const std::string& outPath, const std::string& span,
                              std::string* error) {
    RecordViewer viewer(model, QString::fromStdString(recordPath), nullptr, true);
    viewer.resize(1400, 820);
    viewer.show(); // on the offscreen platform: laid out, never on a screen
    while (viewer.Loading()) {
        platform::ProcessSystemEvents();
        QThread::msleep(2);
    }
    platform::ProcessSystemEvents();
    if (!viewer.Shown()) {
        *error = recordPath + ": " + viewer.RefusalText();
        return 1;
    }
    if (!span.empty()) {
        FrameRange frames;
        if (!ParseSpan(span, viewer.Run(), viewer.Times().x, &frames, error)) {
            return 1;
        }
        const std::vector<double>& x = viewer.Times().x;
        const double pad = std::max(0.5, (x[frames.last - 1] - x[frames.first]) * 0.01);
        viewer.SeriesGraph()->xAxis->setRange(x[frames.first] - pad, x[frames.last - 1] + pad);
        viewer.SelectFrames(frames);
    }
    viewer.RedrawNow();
    return viewer.ExportTo(QString::fromStdString(outPath), error) ? 0 : 1;
}

} // namespace record
