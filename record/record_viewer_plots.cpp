// What the viewer window draws: the fields over time or frame number reduced
// to the pixel columns in view, the recorded points of the colour plane over
// the taught tolerance shapes, the span selection and the frame cursor.
#include "live/live_math.h"
#include "params/parameter_model.h"
#include "platform/graph.h"
#include "record/record_viewer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace record {
namespace {

constexpr int kFrameRedrawMs = 16; // at most one redraw per screen refresh
constexpr ctl::Rgb kSpanColour = 0x4080FF;
constexpr ctl::Rgb kCursorColour = 0x404040;

// The three views of the colour space: horizontal and vertical field.
constexpr int kViewFields[3][2] = {{kFieldX, kFieldY}, {kFieldX, kFieldInt}, {kFieldY, kFieldInt}};

QString AxisName(int field, bool siM) {
    static const char* const kXyInt[] = {"X", "Y", "INT"};
    static const char* const kSiM[] = {"s", "i", "M"};
    return (siM ? kSiM : kXyInt)[field - kFieldX];
}

// Paints the point of one frame: a 2 x 2 dot, or for no match a small
// cross that stands out of the dots.
void Dot(QImage* image, int px, int py, QRgb rgb) {
    for (int dy = 0; dy < 2; ++dy) {
        for (int dx = 0; dx < 2; ++dx) {
            if (image->rect().contains(px + dx, py + dy)) {
                reinterpret_cast<QRgb*>(image->scanLine(py + dy))[px + dx] = rgb;
            }
        }
    }
}

void Cross(QImage* image, int px, int py) {
    // A white edge first, so the cross shows on the dots of any row colour
    // (black ones included).
    const QRgb edge = qRgb(255, 255, 255);
    const QRgb black = qRgb(0, 0, 0);
    auto put = [image](int x, int y, QRgb rgb) {
        if (image->rect().contains(x, y)) {
            reinterpret_cast<QRgb*>(image->scanLine(y))[x] = rgb;
        }
    };
    for (int d = -3; d <= 3; ++d) {
        for (int s : {1, -1}) {
            put(px + d, py + s * d - 1, edge);
            put(px + d, py + s * d + 1, edge);
        }
    }
    for (int d = -3; d <= 3; ++d) {
        for (int s : {1, -1}) {
            put(px + d, py + s * d, black);
        }
    }
}

} // namespace

const double* RecordViewer::AxisKeys() const {
    return timeAxis_ ? timeX_.data() : nullptr;
}

size_t RecordViewer::FrameAt(double key) const {
    const size_t n = run_.Frames();
    if (n == 0) {
        return 0;
    }
    if (!timeAxis_) {
        return static_cast<size_t>(std::clamp(std::round(key), 0.0, double(n - 1)));
    }
    const size_t i = std::lower_bound(timeX_.begin(), timeX_.end(), key) - timeX_.begin();
    if (i == 0) {
        return 0;
    }
    if (i >= n) {
        return n - 1;
    }
    return key - timeX_[i - 1] <= timeX_[i] - key ? i - 1 : i;
}

void RecordViewer::SetTimeAxis(bool time) {
    timeAxis_ = time;
    if (axis_->currentIndex() != (time ? 0 : 1)) {
        axis_->setCurrentIndex(time ? 0 : 1);
    }
    if (time) {
        auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
        ticker->setDateTimeSpec(Qt::UTC); // the file's own local time, shifted by no zone
        ticker->setDateTimeFormat("MM-dd-yyyy\nHH:mm:ss");
        series_->xAxis->setTicker(ticker);
        series_->xAxis->setLabel("DATE / TIME");
    } else {
        series_->xAxis->setTicker(QSharedPointer<QCPAxisTicker>::create());
        series_->xAxis->setLabel("FRAME");
    }
    MarkSpan();
    FitSeries();
}

void RecordViewer::ShowField(int field, bool on) {
    if (field < 0 || field >= kRecordFieldCount) {
        return;
    }
    shown_[field] = on;
    if (fieldBox_[field]->isChecked() != on) {
        fieldBox_[field]->setChecked(on);
    }
    trace_[field]->setVisible(on);
    FitSeries();
}

void RecordViewer::FitSeries() {
    const size_t n = run_.Frames();
    if (n == 0) {
        series_->MarkDirty();
        return;
    }
    const double* keys = AxisKeys();
    const double first = keys ? keys[0] : 0;
    const double last = keys ? keys[n - 1] : double(n - 1);
    const double pad = std::max(1e-3, (last - first) * 0.01);
    series_->xAxis->setRange(first - pad, last + pad);
    bool any = false;
    int32_t lo = 0;
    int32_t hi = 0;
    for (int f = 0; f < kRecordFieldCount; ++f) {
        if (!shown_[f]) {
            continue;
        }
        const auto [mn, mx] = std::minmax_element(run_.field[f].begin(), run_.field[f].end());
        lo = any ? std::min(lo, *mn) : *mn;
        hi = any ? std::max(hi, *mx) : *mx;
        any = true;
    }
    const double margin = std::max(1.0, (hi - lo) * 0.05);
    series_->yAxis->setRange(lo - margin, hi + margin);
    QueueRedraw(kSeries);
}

void RecordViewer::RunGrew(bool rescale) {
    const size_t before = timeX_.size();
    const double oldLast = before > 0 ? (timeAxis_ ? timeX_[before - 1] : double(before - 1)) : 0;
    ExtendTimeAxis(run_.seconds, &timeX_);
    if (rescale) {
        FitSeries();
        FitPlanes();
    } else if (before > 0 && run_.Frames() > 0) {
        // Following: a view that showed the newest frame keeps showing it.
        const QCPRange r = series_->xAxis->range();
        const double newLast = timeAxis_ ? timeX_.back() : double(run_.Frames() - 1);
        if (r.upper >= oldLast && r.lower <= oldLast) {
            series_->xAxis->setRange(r.lower + (newLast - oldLast), r.upper + (newLast - oldLast));
        }
    }
    shapesDirty_ = true;
    QueueRedraw();
}

void RecordViewer::QueueRedraw(int parts) {
    dirtyParts_ |= parts;
    if (redrawQueued_) {
        return;
    }
    redrawQueued_ = true;
    QTimer::singleShot(kFrameRedrawMs, this, [this]() { Redraw(); });
}

void RecordViewer::Redraw() {
    redrawQueued_ = false;
    const int parts = dirtyParts_;
    dirtyParts_ = 0;
    if (parts & kSeries) {
        DrawSeries();
        UpdateSummary(); // of the frames in view, unless a span is selected
    }
    if (parts & kPlane) {
        DrawPlane();
    }
    UpdateStatus();
}

void RecordViewer::RedrawNow(int parts) {
    dirtyParts_ |= parts;
    Redraw();
    series_->replot(QCustomPlot::rpImmediateRefresh);
    for (ctl::Graph* g : plane_) {
        if ((parts & kPlane) && g->isVisible()) {
            g->replot(QCustomPlot::rpImmediateRefresh);
        }
    }
}

void RecordViewer::DrawSeries() {
    const QCPRange r = series_->xAxis->range();
    const int columns = std::max(1, series_->axisRect()->width());
    for (int f = 0; f < kRecordFieldCount; ++f) {
        if (!shown_[f] || run_.Frames() == 0) {
            trace_[f]->data()->clear();
            continue;
        }
        const std::vector<PlotPoint> points = ReduceToColumns(
            AxisKeys(), run_.field[f].data(), run_.Frames(), r.lower, r.upper, columns);
        QVector<QCPGraphData> reduced(static_cast<int>(points.size()));
        for (size_t i = 0; i < points.size(); ++i) {
            reduced[static_cast<int>(i)] = QCPGraphData(points[i].x, points[i].y);
        }
        trace_[f]->data()->set(reduced, true);
    }
    series_->MarkDirty();
}

void RecordViewer::DrawTeachShapes() {
    const params::ParameterModel& model = params::Model();
    const uint16_t mode = model.CalculationMode();
    const bool threeD = params::Is3D(mode);
    for (int v = 0; v < 3; ++v) {
        ctl::Graph* g = plane_[v];
        planeBox_[v]->setVisible(v == 0 || threeD);
        g->DeleteAllPlots();
        dots_[v] = new QCPItemPixmap(g);
        dots_[v]->setScaled(true, Qt::IgnoreAspectRatio);
        dots_[v]->setSelectable(false);
        g->xAxis->setLabel(AxisName(kViewFields[v][0], params::IsSiM(mode)));
        g->yAxis->setLabel(AxisName(kViewFields[v][1], params::IsSiM(mode)));
        auto* legend = new QCPItemText(g);
        legend->position->setType(QCPItemPosition::ptAxisRectRatio);
        legend->position->setCoords(0.03, 0.01);
        legend->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
        legend->setText("x: no match (COLOR 255)");
        QFont small = legend->font();
        small.setPointSize(7);
        legend->setFont(small);
        legend->setSelectable(false);
        for (int row = 0; row < params::kTeachRows; ++row) {
            const live::RowShape s = live::ShapeOfRow(model.Table(), row, mode);
            // X/Y: the colour circle; X/INT and Y/INT: the tolerance ellipses.
            const int32_t a = v == 2 ? s.y : s.x;
            const int32_t b = v == 0 ? s.y : s.i;
            const int32_t rb = v == 0 ? s.r : s.t;
            auto* e = new QCPItemEllipse(g);
            e->topLeft->setCoords(a - s.r, b + rb);
            e->bottomRight->setCoords(a + s.r, b - rb);
            e->setPen(QPen(ctl::ToQColor(model.RowColour(row))));
            e->setBrush(Qt::NoBrush);
            e->setSelectable(false);
        }
    }
    shapesDirty_ = false;
}

void RecordViewer::FitPlanes() {
    const params::ParameterModel& model = params::Model();
    const live::Extents taught = live::ExtentsOf(model.Table(), model.CalculationMode());
    // No taught row gives 0..10000 everywhere: then the points alone count.
    const bool anyTaught = !(taught.minX == 0 && taught.maxX == 10000 && taught.minY == 0 &&
                             taught.maxY == 10000 && taught.minI == 0 && taught.maxI == 10000);
    int32_t lo[3];
    int32_t hi[3];
    const int32_t taughtLo[3] = {taught.minX, taught.minY, taught.minI};
    const int32_t taughtHi[3] = {taught.maxX, taught.maxY, taught.maxI};
    for (int k = 0; k < 3; ++k) {
        const std::vector<int32_t>& column = run_.field[kFieldX + k];
        lo[k] = anyTaught ? taughtLo[k] : 0;
        hi[k] = anyTaught ? taughtHi[k] : 1000;
        if (!column.empty()) {
            const auto [mn, mx] = std::minmax_element(column.begin(), column.end());
            lo[k] = anyTaught ? std::min(lo[k], *mn) : *mn;
            hi[k] = anyTaught ? std::max(hi[k], *mx) : *mx;
        }
    }
    for (int v = 0; v < 3; ++v) {
        const int a = kViewFields[v][0] - kFieldX;
        const int b = kViewFields[v][1] - kFieldX;
        const live::ViewAxes axes = live::AxesOf(lo[a], lo[a], hi[a], lo[b], lo[b], hi[b]);
        plane_[v]->xAxis->setRange(axes.xLo, axes.xHi);
        plane_[v]->yAxis->setRange(axes.yLo, axes.yHi);
    }
}

void RecordViewer::DrawPlane() {
    if (shapesDirty_) {
        DrawTeachShapes();
    }
    uint32_t rowColours[params::kTeachRows];
    for (int row = 0; row < params::kTeachRows; ++row) {
        rowColours[row] = params::Model().RowColour(row);
    }
    const FrameRange frames = hasSpan_ ? span_ : FrameRange{0, run_.Frames()};
    const int32_t* color = run_.field[kFieldColor].data();
    for (int v = 0; v < 3; ++v) {
        ctl::Graph* g = plane_[v];
        if (planeBox_[v]->isHidden()) {
            continue;
        }
        const QRect area = g->axisRect()->rect();
        const qreal ratio = g->devicePixelRatioF();
        QImage image(std::max(1, int(area.width() * ratio)),
                     std::max(1, int(area.height() * ratio)), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        const QCPRange xr = g->xAxis->range();
        const QCPRange yr = g->yAxis->range();
        const double sx = image.width() / xr.size();
        const double sy = image.height() / yr.size();
        const int32_t* a = run_.field[kViewFields[v][0]].data();
        const int32_t* b = run_.field[kViewFields[v][1]].data();
        // The rows' points first, the frames without a match on top of them.
        for (int pass = 0; pass < 2; ++pass) {
            for (size_t i = frames.first; i < frames.last; ++i) {
                const PointColour c = ColourOfFrame(color[i], rowColours, params::kTeachRows);
                if ((c.kind == PointKind::NoMatch) != (pass == 1)) {
                    continue;
                }
                const double px = (a[i] - xr.lower) * sx;
                const double py = (yr.upper - b[i]) * sy;
                if (px < -3 || py < -3 || px > image.width() + 3 || py > image.height() + 3) {
                    continue;
                }
                if (pass == 0) {
                    Dot(&image, int(px), int(py), 0xFF000000u | c.rgb);
                } else {
                    Cross(&image, int(px), int(py));
                }
            }
        }
        image.setDevicePixelRatio(ratio);
        dots_[v]->setPixmap(QPixmap::fromImage(image));
        dots_[v]->topLeft->setCoords(xr.lower, yr.upper);
        dots_[v]->bottomRight->setCoords(xr.upper, yr.lower);
        g->MarkDirty();
    }
}

void RecordViewer::SelectSpan(double lo, double hi) {
    const FrameRange r = FramesIn(AxisKeys(), run_.Frames(), std::min(lo, hi), std::max(lo, hi));
    if (r.first >= r.last) {
        ClearSpan();
        return;
    }
    hasSpan_ = true;
    span_ = r;
    MarkSpan();
    QueueRedraw();
}

void RecordViewer::ZoomAll() {
    FitSeries();
    FitPlanes();
    QueueRedraw();
}

void RecordViewer::ClearSpan() {
    hasSpan_ = false;
    MarkSpan();
    QueueRedraw();
}

void RecordViewer::MarkSpan() {
    if (spanMark_ == nullptr) {
        spanMark_ = new QCPItemRect(series_);
        QColor fill = ctl::ToQColor(kSpanColour);
        fill.setAlpha(50);
        spanMark_->setBrush(QBrush(fill));
        spanMark_->setPen(QPen(ctl::ToQColor(kSpanColour)));
        spanMark_->setSelectable(false);
        spanMark_->topLeft->setTypeY(QCPItemPosition::ptAxisRectRatio);
        spanMark_->bottomRight->setTypeY(QCPItemPosition::ptAxisRectRatio);
        series_->AddCursor(kCursorColour);
        series_->SetCursorVerticalOnly(0, true);
    }
    const bool show = hasSpan_ && span_.last > span_.first && span_.last <= run_.Frames();
    spanMark_->setVisible(show);
    if (show) {
        const double* keys = AxisKeys();
        auto key = [keys](size_t i) { return keys ? keys[i] : double(i); };
        spanMark_->topLeft->setCoords(key(span_.first), 0);
        spanMark_->bottomRight->setCoords(key(span_.last - 1), 1);
    }
    series_->MarkDirty();
}

FrameRange RecordViewer::ShownFrames() const {
    if (hasSpan_) {
        return span_;
    }
    const QCPRange r = series_->xAxis->range();
    return FramesIn(AxisKeys(), run_.Frames(), r.lower, r.upper);
}

void RecordViewer::SetFrameCursor(size_t frame) {
    if (frame >= run_.Frames()) {
        return;
    }
    cursorFrame_ = frame;
    series_->SetCursor(0, timeAxis_ ? timeX_[frame] : double(frame),
                       series_->yAxis->range().center());
    cursor_->setText(CursorText());
}

void RecordViewer::SeriesMousePress(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ShiftModifier)) {
        // A span instead of a pan.
        selecting_ = true;
        dragFrom_ = series_->xAxis->pixelToCoord(e->position().x());
        series_->axisRect()->setRangeDrag(Qt::Orientations());
    }
}

void RecordViewer::SeriesMouseMove(QMouseEvent* e) {
    const double key = series_->xAxis->pixelToCoord(e->position().x());
    if (selecting_) {
        spanMark_->setVisible(true);
        spanMark_->topLeft->setCoords(std::min(dragFrom_, key), 0);
        spanMark_->bottomRight->setCoords(std::max(dragFrom_, key), 1);
        series_->MarkDirty();
        return;
    }
    if (e->buttons() == Qt::NoButton) {
        SetFrameCursor(FrameAt(key));
    }
}

void RecordViewer::SeriesMouseRelease(QMouseEvent* e) {
    if (!selecting_) {
        return;
    }
    selecting_ = false;
    series_->axisRect()->setRangeDrag(Qt::Horizontal);
    const double key = series_->xAxis->pixelToCoord(e->position().x());
    if (std::abs(series_->xAxis->coordToPixel(key) - series_->xAxis->coordToPixel(dragFrom_)) < 3) {
        ClearSpan(); // a Shift click without a drag
    } else {
        SelectSpan(dragFrom_, key);
    }
}

} // namespace record
