// The time series of the viewer window: the fields over time or frame number
// reduced to the pixel columns in view (points where there are few), Y fitted
// to the frames in view, the compared run dashed, the marks, the span
// selection and the frame cursor.
#include "platform/graph.h"
#include "record/record_viewer_parts.h"

#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace record {
namespace {

// Dates and times as the record file writes them; where the ticks stand
// closer than a second, the time gets the fraction that tells them apart.
class RecordTimeTicker : public QCPAxisTickerDateTime {
public:
    RecordTimeTicker() {
        setDateTimeSpec(Qt::UTC); // the file's own local time, shifted by no zone
        setDateTimeFormat("MM-dd-yyyy\nHH:mm:ss");
    }

protected:
    double getTickStep(const QCPRange& range) override {
        step_ = QCPAxisTickerDateTime::getTickStep(range);
        return step_;
    }
    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar,
                         int precision) override {
        if (step_ >= 1.0) {
            return QCPAxisTickerDateTime::getTickLabel(tick, locale, formatChar, precision);
        }
        const int digits = std::clamp(static_cast<int>(std::ceil(-std::log10(step_) - 1e-9)), 1, 3);
        const double scale = std::pow(10.0, digits);
        const double rounded = std::round(tick * scale) / scale;
        const double whole = std::floor(rounded);
        const QDateTime t = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(whole), Qt::UTC);
        const long fraction = std::lround((rounded - whole) * scale);
        return t.toString("MM-dd-yyyy\nHH:mm:ss") +
               QString(".%1").arg(fraction, digits, 10, QChar('0'));
    }

private:
    double step_ = 1;
};

// Frame numbers are whole.
class FrameTicker : public QCPAxisTicker {
protected:
    double getTickStep(const QCPRange& range) override {
        return std::max(1.0, QCPAxisTicker::getTickStep(range));
    }
};

} // namespace

const double* RecordViewer::AxisKeys() const {
    return timeAxis_ ? times_.x.data() : nullptr;
}

double RecordViewer::KeyOf(size_t frame) const {
    return timeAxis_ ? times_.x[frame] : static_cast<double>(frame + 1);
}

size_t RecordViewer::FrameAt(double key) const {
    const size_t n = run_.Frames();
    if (n == 0) {
        return 0;
    }
    if (!timeAxis_) {
        return static_cast<size_t>(std::clamp(std::round(key) - 1, 0.0, double(n - 1)));
    }
    const std::vector<double>& x = times_.x;
    const size_t i = std::lower_bound(x.begin(), x.end(), key) - x.begin();
    if (i == 0) {
        return 0;
    }
    if (i >= n) {
        return n - 1;
    }
    return key - x[i - 1] <= x[i] - key ? i - 1 : i;
}

void RecordViewer::SetTimeAxis(bool time) {
    timeAxis_ = time;
    if (axis_->currentIndex() != (time ? 0 : 1)) {
        axis_->setCurrentIndex(time ? 0 : 1);
    }
    if (time) {
        series_->xAxis->setTicker(QSharedPointer<RecordTimeTicker>::create());
        series_->xAxis->setLabel("DATE / TIME");
    } else {
        series_->xAxis->setTicker(QSharedPointer<FrameTicker>::create());
        series_->xAxis->setLabel("FRAME");
    }
    MarkSpan();
    FitSeriesX();
    if (cursorSet_) {
        SetFrameCursor(cursorFrame_);
    }
    PlaneChanged(); // the overlay's alignment is on this axis
}

void RecordViewer::ShowField(int field, bool on) {
    if (field < 0 || field >= kRecordFieldCount) {
        return;
    }
    shownField_[field] = on;
    if (fieldBox_[field]->isChecked() != on) {
        fieldBox_[field]->setChecked(on);
    }
    trace_[field]->setVisible(on);
    yAuto_ = true;
    QueueRedraw(kSeries);
}

void RecordViewer::FitSeriesX() {
    const size_t n = run_.Frames();
    series_->xAxis->setTickLabels(n > 0);
    emptyText_->setVisible(n == 0 && shown_);
    if (n == 0) {
        series_->MarkDirty();
        return;
    }
    const double first = KeyOf(0);
    const double last = KeyOf(n - 1);
    // A few frames get room around them: half a second, half a frame.
    const double pad = std::max(0.5, (last - first) * 0.01);
    fitting_ = true;
    series_->xAxis->setRange(first - pad, last + pad);
    fitting_ = false;
    QueueRedraw(kSeries);
}

void RecordViewer::ZoomAll() {
    yAuto_ = true;
    FitSeriesX();
    FitPlanes();
    QueueRedraw();
}

void RecordViewer::ZoomTime(double factor) {
    const QCPRange r = series_->xAxis->range();
    const double centre =
        cursorSet_ && cursorFrame_ < run_.Frames() ? KeyOf(cursorFrame_) : r.center();
    series_->xAxis->scaleRange(factor, centre);
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

namespace {

// The points of frames [first, last) that pass `filter`, gathered for the
// reduction (keys and values side by side).
struct Gathered {
    std::vector<double> keys;
    std::vector<int32_t> values;
};

std::vector<PlotPoint> Reduce(const RecordRun& run, const double* keys, double keyShift, int field,
                              const FrameFilter& filter, double lo, double hi, int columns) {
    const size_t n = run.Frames();
    if (filter.All() && keyShift == 0) {
        return ReduceToColumns(keys, run.field[field].data(), n, lo, hi, columns);
    }
    Gathered g;
    for (size_t i = 0; i < n; ++i) {
        if (filter.Passes(run, i)) {
            g.keys.push_back((keys ? keys[i] : static_cast<double>(i + 1)) + keyShift);
            g.values.push_back(run.field[field][i]);
        }
    }
    return ReduceToColumns(g.keys.data(), g.values.data(), g.keys.size(), lo, hi, columns);
}

// Lines where the points lie close; where few frames are in view each one
// gets a point of its own, so a single frame is seen too.
void SetPoints(QCPGraph* graph, const std::vector<PlotPoint>& points, bool few, double* lo,
               double* hi, bool* any) {
    QVector<QCPGraphData> data(static_cast<int>(points.size()));
    for (size_t i = 0; i < points.size(); ++i) {
        data[static_cast<int>(i)] = QCPGraphData(points[i].x, points[i].y);
        *lo = *any ? std::min(*lo, points[i].y) : points[i].y;
        *hi = *any ? std::max(*hi, points[i].y) : points[i].y;
        *any = true;
    }
    graph->data()->set(data, true);
    graph->setScatterStyle(few ? QCPScatterStyle(QCPScatterStyle::ssDisc, 5)
                               : QCPScatterStyle(QCPScatterStyle::ssNone));
}

} // namespace

void RecordViewer::DrawSeries() {
    const QCPRange r = series_->xAxis->range();
    const int columns = std::max(1, series_->axisRect()->width());
    const FrameRange inView = FramesIn(AxisKeys(), run_.Frames(), r.lower, r.upper);
    const bool few = run_.Frames() == 1 || inView.last - inView.first <= size_t(columns / 6);
    double lo = 0;
    double hi = 0;
    bool any = false;
    for (int f = 0; f < kRecordFieldCount; ++f) {
        if (!shownField_[f] || run_.Frames() == 0) {
            trace_[f]->data()->clear();
            continue;
        }
        SetPoints(trace_[f], Reduce(run_, AxisKeys(), 0, f, filter_, r.lower, r.upper, columns),
                  few, &lo, &hi, &any);
    }
    if (overlay_) {
        const Overlay& o = *overlay_;
        const double shift = timeAxis_ ? o.timeShift : o.frameShift;
        for (int f = 0; f < kRecordFieldCount; ++f) {
            overlayTrace_[f]->setVisible(shownField_[f]);
            if (shownField_[f]) {
                SetPoints(overlayTrace_[f],
                          Reduce(o.run, timeAxis_ ? o.times.x.data() : nullptr, shift, f, filter_,
                                 r.lower, r.upper, columns),
                          few, &lo, &hi, &any);
            }
        }
    }
    if (yAuto_ && any) {
        const double margin = std::max(1.0, (hi - lo) * 0.05);
        series_->yAxis->setRange(lo - margin, hi + margin);
    }
    DrawMarks();
    if (cursorSet_ && cursorFrame_ < run_.Frames()) {
        series_->SetCursor(0, KeyOf(cursorFrame_), series_->yAxis->range().center());
    }
    series_->MarkDirty();
}

void RecordViewer::DrawMarks() {
    for (QCPAbstractItem* item : markItems_) {
        series_->removeItem(item);
    }
    markItems_.clear();
    const QColor colour = ctl::ToQColor(kMarkColour);
    for (const FrameMark& m : marks_) {
        if (m.frame >= run_.Frames()) {
            continue;
        }
        auto* line = new QCPItemStraightLine(series_);
        line->point1->setCoords(KeyOf(m.frame), 0);
        line->point2->setCoords(KeyOf(m.frame), 1);
        line->setPen(QPen(colour, 1, Qt::DashDotLine));
        line->setSelectable(false);
        auto* text = new QCPItemText(series_);
        text->position->setTypeX(QCPItemPosition::ptPlotCoords);
        text->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        text->position->setCoords(KeyOf(m.frame), 0.0);
        text->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
        text->setText(QString::fromStdString(m.note).left(30));
        text->setColor(colour);
        text->setSelectable(false);
        markItems_.push_back(line);
        markItems_.push_back(text);
    }
}

void RecordViewer::SelectSpan(double lo, double hi) {
    SelectFrames(FramesIn(AxisKeys(), run_.Frames(), std::min(lo, hi), std::max(lo, hi)));
}

void RecordViewer::SelectFrames(FrameRange frames) {
    frames.last = std::min(frames.last, run_.Frames());
    if (frames.first >= frames.last) {
        ClearSpan();
        return;
    }
    hasSpan_ = true;
    span_ = frames;
    MarkSpan();
    PlaneChanged();
    QueueRedraw();
}

void RecordViewer::ClearSpan() {
    hasSpan_ = false;
    MarkSpan();
    PlaneChanged();
    QueueRedraw();
}

void RecordViewer::SetFilter(const FrameFilter& filter) {
    filter_ = filter;
    UpdateFilterChoices();
    yAuto_ = true;
    PlaneChanged();
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
        emptyText_ = new QCPItemText(series_);
        emptyText_->position->setType(QCPItemPosition::ptAxisRectRatio);
        emptyText_->position->setCoords(0.5, 0.5);
        emptyText_->setText("THE FILE HOLDS NO FRAMES");
        emptyText_->setSelectable(false);
        emptyText_->setVisible(false);
    }
    const bool show = hasSpan_ && span_.last > span_.first && span_.last <= run_.Frames();
    spanMark_->setVisible(show);
    if (show) {
        spanMark_->topLeft->setCoords(KeyOf(span_.first), 0);
        spanMark_->bottomRight->setCoords(KeyOf(span_.last - 1), 1);
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

void RecordViewer::ShowFrameInView(size_t frame) {
    const QCPRange r = series_->xAxis->range();
    const double key = KeyOf(frame);
    if (key < r.lower || key > r.upper) {
        series_->xAxis->setRange(key - r.size() / 2, key + r.size() / 2);
    }
}

void RecordViewer::SetFrameCursor(size_t frame, bool bringIntoView) {
    if (frame >= run_.Frames()) {
        return;
    }
    cursorFrame_ = frame;
    cursorSet_ = true;
    if (bringIntoView) {
        ShowFrameInView(frame);
    }
    series_->SetCursor(0, KeyOf(frame), series_->yAxis->range().center());
    cursor_->setText(CursorText());
    for (ctl::Graph* g : plane_) {
        g->MarkDirty(); // the cursor's ring
    }
}

bool RecordViewer::FindNoMatch(int direction) {
    const size_t n = run_.Frames();
    const int32_t* color = run_.field[kFieldColor].data();
    if (n == 0) {
        return false;
    }
    const size_t from = cursorSet_ ? cursorFrame_ : (direction > 0 ? n : 0);
    if (direction > 0) {
        for (size_t i = cursorSet_ ? from + 1 : 0; i < n; ++i) {
            if (color[i] == kNoMatchColor) {
                SetFrameCursor(i);
                return true;
            }
        }
    } else {
        for (size_t i = cursorSet_ ? from : n; i-- > 0;) {
            if (color[i] == kNoMatchColor) {
                SetFrameCursor(i);
                return true;
            }
        }
    }
    status_->setText(StatusText() + "\nNO FURTHER FRAME WITHOUT A MATCH.");
    return false;
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
    if (e->buttons() == Qt::NoButton && run_.Frames() > 0) {
        SetFrameCursor(FrameAt(key), false);
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
