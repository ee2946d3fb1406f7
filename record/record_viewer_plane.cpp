// The colour plane of the viewer window: the recorded points over the taught
// tolerance shapes. The points are painted when the plane is painted, at the
// size it has then, as a density picture: each pixel takes the colour of
// the frames that fall on it and the more of them, the stronger, so matched
// points show at any count. Frames without a match lie below them
// as small crosses of their own layer (NO MATCH hides it); a compared run
// lies on top as open squares. Into a PDF the points go as vector marks, or as a
// fine picture where there are too many for vectors.
#include "live/live_math.h"
#include "params/parameter_model.h"
#include "platform/graph.h"
#include "record/record_viewer_parts.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>
#include <map>

namespace record {

class PlaneDots : public QCPAbstractItem {
public:
    PlaneDots(QCustomPlot* plot, RecordViewer* viewer, int view)
        : QCPAbstractItem(plot), viewer_(viewer), view_(view) {
        setSelectable(false);
    }
    double selectTest(const QPointF&, bool, QVariant*) const override { return -1; }

protected:
    void draw(QCPPainter* painter) override { viewer_->PaintPoints(painter, view_); }

private:
    RecordViewer* viewer_;
    int view_;
};

namespace {

// Up to this many points go into a PDF as vector marks.
constexpr size_t kVectorPoints = 20000;
// A PDF's picture of more points has this many pixels per point of the page.
constexpr double kPdfPixelsPerPoint = 4;
constexpr size_t kLegendRows = 12;

QString AxisName(int field, bool siM) {
    static const char* const kXyInt[] = {"X", "Y", "INT"};
    static const char* const kSiM[] = {"s", "i", "M"};
    return (siM ? kSiM : kXyInt)[field - kFieldX];
}

// The side of a point in pixels: large where there are few.
double DotSize(size_t frames) {
    return frames <= 2000 ? 4 : frames <= 50000 ? 3 : 2;
}

void RowColours(const params::ParameterModel& model, uint32_t out[params::kTeachRows]) {
    for (int row = 0; row < params::kTeachRows; ++row) {
        out[row] = model.RowColour(row);
    }
}

void Put(QImage* image, int x, int y, QRgb rgb) {
    if (x >= 0 && y >= 0 && x < image->width() && y < image->height()) {
        reinterpret_cast<QRgb*>(image->scanLine(y))[x] = rgb;
    }
}

} // namespace

void RecordViewer::PlaneChanged() {
    ++planeGeneration_;
    QueueRedraw(kPlane);
}

void RecordViewer::ShowNoMatch(bool on) {
    showNoMatch_ = on;
    if (noMatchBox_->isChecked() != on) {
        noMatchBox_->setChecked(on);
    }
    PlaneChanged();
}

void RecordViewer::DrawTeachShapes() {
    const params::ParameterModel& model = model_;
    const uint16_t mode = model.CalculationMode();
    const bool threeD = params::Is3D(mode);
    for (int v = 0; v < 3; ++v) {
        ctl::Graph* g = plane_[v];
        planeBox_[v]->setVisible(v == 0 || threeD);
        g->DeleteAllPlots();
        dots_[v] = new PlaneDots(g, this, v);
        g->xAxis->setLabel(AxisName(kViewFields[v][0], params::IsSiM(mode)));
        g->yAxis->setLabel(AxisName(kViewFields[v][1], params::IsSiM(mode)));
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
    legendRows_.clear(); // went with the plottables
    QCPLegend* legend = plane_[0]->legend;
    legend->setVisible(true);
    QFont small = legend->font();
    small.setPointSize(7);
    legend->setFont(small);
    legend->setBrush(QColor(255, 255, 255, 170));
    legend->setBorderPen(QPen(QColor(160, 160, 160)));
    legend->setRowSpacing(0);
    legend->setIconSize(8, 8);
    legend->setIconTextPadding(3);
    legend->setMargins(QMargins(3, 2, 3, 2));
    plane_[0]->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
    shapesDirty_ = false;
}

void RecordViewer::UpdateLegend() {
    if (legendGeneration_ == planeGeneration_ && !legendRows_.empty()) {
        return; // the same frames: the same counts
    }
    legendGeneration_ = planeGeneration_;
    ctl::Graph* g = plane_[0];
    for (QCPGraph* row : legendRows_) {
        g->removeGraph(row);
    }
    legendRows_.clear();
    std::map<int32_t, size_t> counts;
    const FrameRange frames = hasSpan_ ? span_ : FrameRange{0, run_.Frames()};
    const int32_t* color = run_.field[kFieldColor].data();
    size_t total = 0;
    for (size_t i = frames.first; i < frames.last; ++i) {
        if (filter_.Passes(run_, i)) {
            ++counts[color[i]];
            ++total;
        }
    }
    uint32_t rows[params::kTeachRows];
    RowColours(model_, rows);
    auto entry = [this, g](const QString& name, QCPScatterStyle style) {
        QCPGraph* row = g->addGraph();
        row->setLineStyle(QCPGraph::lsNone);
        row->setScatterStyle(style);
        row->setName(name);
        legendRows_.push_back(row);
    };
    size_t listed = 0;
    for (const auto& [value, n] : counts) {
        if (listed++ == kLegendRows) {
            entry(QString("... %1 MORE COLOR VALUES").arg(counts.size() - kLegendRows),
                  QCPScatterStyle(QCPScatterStyle::ssNone));
            break;
        }
        const PointColour c = ColourOfFrame(value, rows, params::kTeachRows);
        const QString share = QString::number(100.0 * double(n) / double(total), 'f', 1);
        if (c.kind == PointKind::NoMatch) {
            entry(QString("NO MATCH (255): %1 (%2 %)%3")
                      .arg(n)
                      .arg(share, showNoMatch_ ? "" : ", HIDDEN"),
                  QCPScatterStyle(QCPScatterStyle::ssCross, QPen(Qt::black, 1.5), Qt::NoBrush, 7));
        } else {
            const QColor colour = ctl::ToQColor(c.rgb);
            entry(QString("COLOR %1: %2 (%3 %)").arg(value).arg(n).arg(share),
                  QCPScatterStyle(QCPScatterStyle::ssSquare, colour, colour, 7));
        }
    }
    if (overlay_) {
        entry(QString("OPEN SQUARES: %1").arg(QFileInfo(overlay_->path).fileName()),
              QCPScatterStyle(QCPScatterStyle::ssSquare, QPen(Qt::darkGray, 1.5), Qt::NoBrush, 8));
    }
}

void RecordViewer::FitPlanes() {
    const params::ParameterModel& model = model_;
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
    fitting_ = true;
    for (int v = 0; v < 3; ++v) {
        const int a = kViewFields[v][0] - kFieldX;
        const int b = kViewFields[v][1] - kFieldX;
        const live::ViewAxes axes = live::AxesOf(lo[a], lo[a], hi[a], lo[b], lo[b], hi[b]);
        plane_[v]->xAxis->setRange(axes.xLo, axes.xHi);
        plane_[v]->yAxis->setRange(axes.yLo, axes.yHi);
    }
    fitting_ = false;
    planeFitted_ = true;
}

void RecordViewer::PlaceLegend() {
    // In the corner of the X/Y view where the fewest shown points lie.
    ctl::Graph* g = plane_[0];
    const QCPRange xr = g->xAxis->range();
    const QCPRange yr = g->yAxis->range();
    const double xs[2] = {xr.lower + 0.4 * xr.size(), xr.upper - 0.4 * xr.size()};
    const double ys[2] = {yr.upper - 0.35 * yr.size(), yr.lower + 0.35 * yr.size()};
    size_t inCorner[4] = {};
    const FrameRange frames = hasSpan_ ? span_ : FrameRange{0, run_.Frames()};
    const int32_t* a = run_.field[kFieldX].data();
    const int32_t* b = run_.field[kFieldY].data();
    const size_t step = std::max<size_t>(1, (frames.last - frames.first) / 200000); // a sample
    for (size_t i = frames.first; i < frames.last; i += step) {
        if (a[i] < xr.lower || a[i] > xr.upper || b[i] < yr.lower || b[i] > yr.upper) {
            continue;
        }
        const bool left = a[i] <= xs[0];
        const bool right = a[i] >= xs[1];
        const bool top = b[i] >= ys[0];
        const bool bottom = b[i] <= ys[1];
        inCorner[0] += left && top;
        inCorner[1] += right && top;
        inCorner[2] += left && bottom;
        inCorner[3] += right && bottom;
    }
    const int best = static_cast<int>(std::min_element(inCorner, inCorner + 4) - inCorner);
    const Qt::Alignment corner = (best < 2 ? Qt::AlignTop : Qt::AlignBottom) |
                                 (best % 2 == 0 ? Qt::AlignLeft : Qt::AlignRight);
    g->axisRect()->insetLayout()->setInsetAlignment(0, corner);
}

void RecordViewer::DrawPlane() {
    if (shapesDirty_) {
        DrawTeachShapes();
    }
    UpdateLegend();
    PlaceLegend();
    for (ctl::Graph* g : plane_) {
        g->MarkDirty();
    }
}

void RecordViewer::RenderPlane(int view, QSize size, double scale, PlaneCache* cache) {
    ctl::Graph* g = plane_[view];
    const QCPRange xr = g->xAxis->range();
    const QCPRange yr = g->yAxis->range();
    const int w = std::max(1, size.width());
    const int h = std::max(1, size.height());
    cache->size = size;
    cache->range[0] = xr.lower;
    cache->range[1] = xr.upper;
    cache->range[2] = yr.lower;
    cache->range[3] = yr.upper;
    cache->generation = planeGeneration_;
    // The frames without a match are drawn first, the matched ones over them.
    cache->points = QImage(w, h, QImage::Format_ARGB32);
    cache->points.fill(Qt::transparent);
    cache->overlay = QImage();
    PlaneCounts counts;
    uint32_t rows[params::kTeachRows];
    RowColours(model_, rows);
    const double sx = w / xr.size();
    const double sy = h / yr.size();
    const FrameRange frames = hasSpan_ ? span_ : FrameRange{0, run_.Frames()};
    const int dot = std::max(1, static_cast<int>(DotSize(frames.last - frames.first) * scale));
    const int arm = std::max(1, static_cast<int>(std::lround(1.5 * scale)));
    // Per pixel: the matched frames on it and the colour of the last.
    std::vector<uint32_t> hits(static_cast<size_t>(w) * h);
    std::vector<uint32_t> colours(static_cast<size_t>(w) * h);
    const int32_t* a = run_.field[kViewFields[view][0]].data();
    const int32_t* b = run_.field[kViewFields[view][1]].data();
    const int32_t* color = run_.field[kFieldColor].data();
    const QRgb cross = qRgba(0, 0, 0, 190);
    for (size_t i = frames.first; i < frames.last; ++i) {
        if (!filter_.Passes(run_, i)) {
            continue;
        }
        const int px = static_cast<int>(std::floor((a[i] - xr.lower) * sx));
        const int py = static_cast<int>(std::floor((yr.upper - b[i]) * sy));
        if (px < -dot || py < -dot || px > w + dot || py > h + dot) {
            continue;
        }
        const PointColour c = ColourOfFrame(color[i], rows, params::kTeachRows);
        if (c.kind == PointKind::NoMatch) {
            ++counts.noMatch;
            if (showNoMatch_) {
                for (int d = -arm; d <= arm; ++d) {
                    Put(&cache->points, px + d, py + d, cross);
                    Put(&cache->points, px + d, py - d, cross);
                }
            }
            continue;
        }
        ++counts.matched;
        for (int y = py - dot / 2; y < py - dot / 2 + dot; ++y) {
            for (int x = px - dot / 2; x < px - dot / 2 + dot; ++x) {
                if (x < 0 || y < 0 || x >= w || y >= h) {
                    continue;
                }
                const size_t k = static_cast<size_t>(y) * w + x;
                ++hits[k];
                colours[k] = c.rgb;
            }
        }
    }
    // The densest pixel is solid; a pixel of a single frame still clearly seen.
    const uint32_t most = hits.empty() ? 0 : *std::max_element(hits.begin(), hits.end());
    const double logMost = std::log(static_cast<double>(std::max<uint32_t>(most, 1)));
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(cache->points.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const size_t k = static_cast<size_t>(y) * w + x;
            const uint32_t n = hits[k];
            if (n == 0) {
                continue;
            }
            const int alpha =
                most <= 2 ? 255 : static_cast<int>(170 + 85 * std::log(double(n)) / logMost);
            // Over a cross below: the cross shows through as much as the
            // point lets it.
            const int under = qAlpha(line[x]) * (255 - alpha) / 255;
            const int out = alpha + under;
            auto mix = [&](int top, int bottom) { return (top * alpha + bottom * under) / out; };
            const uint32_t c = colours[k];
            line[x] = qRgba(mix(int(c >> 16 & 0xFF), qRed(line[x])),
                            mix(int(c >> 8 & 0xFF), qGreen(line[x])),
                            mix(int(c & 0xFF), qBlue(line[x])), out);
        }
    }
    if (overlay_) {
        const Overlay& o = *overlay_;
        cache->overlay = QImage(w, h, QImage::Format_ARGB32);
        cache->overlay.fill(Qt::transparent);
        const int ring = dot + 2 * arm;
        const int32_t* oa = o.run.field[kViewFields[view][0]].data();
        const int32_t* ob = o.run.field[kViewFields[view][1]].data();
        const int32_t* oc = o.run.field[kFieldColor].data();
        for (size_t i = 0; i < o.run.Frames(); ++i) {
            if (!filter_.Passes(o.run, i)) {
                continue;
            }
            const PointColour c = ColourOfFrame(oc[i], rows, params::kTeachRows);
            if (c.kind == PointKind::NoMatch && !showNoMatch_) {
                continue;
            }
            const int px = static_cast<int>(std::floor((oa[i] - xr.lower) * sx)) - ring / 2;
            const int py = static_cast<int>(std::floor((yr.upper - ob[i]) * sy)) - ring / 2;
            const QRgb rgb = 0xC0000000u | c.rgb;
            for (int d = 0; d < ring; ++d) {
                Put(&cache->overlay, px + d, py, rgb);
                Put(&cache->overlay, px + d, py + ring - 1, rgb);
                Put(&cache->overlay, px, py + d, rgb);
                Put(&cache->overlay, px + ring - 1, py + d, rgb);
            }
            ++counts.overlay;
        }
    }
    planeCounts_[view] = counts;
}

void RecordViewer::PaintPoints(QCPPainter* painter, int view) {
    ctl::Graph* g = plane_[view];
    const QRect area = g->axisRect()->rect();
    const bool vectors = painter->modes().testFlag(QCPPainter::pmVectorized);
    const FrameRange frames = hasSpan_ ? span_ : FrameRange{0, run_.Frames()};
    const size_t count = frames.last - frames.first + (overlay_ ? overlay_->run.Frames() : 0);
    if (vectors && count <= kVectorPoints) {
        // Into a PDF: a mark per frame, in the same colours and layers.
        uint32_t rows[params::kTeachRows];
        RowColours(model_, rows);
        const double dot = DotSize(frames.last - frames.first) * 0.5;
        auto at = [g, view](const RecordRun& run, size_t i, double shiftX = 0) {
            return QPointF(g->xAxis->coordToPixel(run.field[kViewFields[view][0]][i] + shiftX),
                           g->yAxis->coordToPixel(run.field[kViewFields[view][1]][i]));
        };
        painter->setBrush(Qt::NoBrush);
        for (int pass = 0; pass < 3; ++pass) {
            const RecordRun& run = pass == 2 ? overlay_->run : run_;
            if (pass == 2 && !overlay_) {
                break;
            }
            const size_t first = pass == 2 ? 0 : frames.first;
            const size_t last = pass == 2 ? run.Frames() : frames.last;
            for (size_t i = first; i < last; ++i) {
                const PointColour c =
                    ColourOfFrame(run.Value(kFieldColor, i), rows, params::kTeachRows);
                const bool noMatch = c.kind == PointKind::NoMatch;
                if (!filter_.Passes(run, i) || (noMatch && !showNoMatch_) ||
                    (pass < 2 && noMatch != (pass == 0))) {
                    continue;
                }
                const QPointF p = at(run, i);
                if (!QRectF(area).adjusted(-4, -4, 4, 4).contains(p)) {
                    continue;
                }
                if (pass == 2) {
                    painter->setPen(QPen(ctl::ToQColor(c.rgb), 0.4));
                    painter->drawRect(QRectF(p.x() - dot, p.y() - dot, 2 * dot, 2 * dot));
                } else if (noMatch) {
                    painter->setPen(QPen(Qt::black, 0.3));
                    painter->drawLine(p + QPointF(-1.2, -1.2), p + QPointF(1.2, 1.2));
                    painter->drawLine(p + QPointF(-1.2, 1.2), p + QPointF(1.2, -1.2));
                } else {
                    painter->fillRect(QRectF(p.x() - dot / 2, p.y() - dot / 2, dot, dot),
                                      ctl::ToQColor(c.rgb));
                }
            }
        }
    } else {
        const double scale = vectors ? kPdfPixelsPerPoint : g->devicePixelRatioF();
        const QSize size(static_cast<int>(area.width() * scale),
                         static_cast<int>(area.height() * scale));
        PlaneCache& cache = planeCache_[view];
        const QCPRange xr = g->xAxis->range();
        const QCPRange yr = g->yAxis->range();
        const bool same = cache.size == size && cache.generation == planeGeneration_ &&
                          cache.range[0] == xr.lower && cache.range[1] == xr.upper &&
                          cache.range[2] == yr.lower && cache.range[3] == yr.upper;
        if (!same) {
            RenderPlane(view, size, vectors ? kPdfPixelsPerPoint / 2 : scale, &cache);
        }
        painter->setRenderHint(QPainter::LosslessImageRendering); // no JPEG in a PDF
        for (const QImage* image : {&cache.points, &cache.overlay}) {
            if (!image->isNull()) {
                painter->drawImage(QRectF(area), *image);
            }
        }
    }
    if (cursorSet_ && cursorFrame_ < run_.Frames()) {
        const QPointF p(g->xAxis->coordToPixel(run_.Value(kViewFields[view][0], cursorFrame_)),
                        g->yAxis->coordToPixel(run_.Value(kViewFields[view][1], cursorFrame_)));
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(Qt::white, 3));
        painter->drawEllipse(p, 7, 7);
        painter->setPen(QPen(QColor(0xE0, 0, 0xE0), 1.5));
        painter->drawEllipse(p, 7, 7);
    }
}

bool RecordViewer::FrameAtPlanePixel(int view, const QPointF& pixel, size_t* frame) const {
    const ctl::Graph* g = plane_[view];
    const FrameRange frames = hasSpan_ ? span_ : FrameRange{0, run_.Frames()};
    const int32_t* a = run_.field[kViewFields[view][0]].data();
    const int32_t* b = run_.field[kViewFields[view][1]].data();
    const int32_t* color = run_.field[kFieldColor].data();
    const QRect area = g->axisRect()->rect();
    const QCPRange xr = g->xAxis->range();
    const QCPRange yr = g->yAxis->range();
    const double sx = area.width() / xr.size();
    const double sy = area.height() / yr.size();
    double best = 8 * 8; // within a few pixels
    bool found = false;
    for (size_t i = frames.first; i < frames.last; ++i) {
        if (!filter_.Passes(run_, i) || (color[i] == kNoMatchColor && !showNoMatch_)) {
            continue;
        }
        const double dx = area.left() + (a[i] - xr.lower) * sx - pixel.x();
        const double dy = area.top() + (yr.upper - b[i]) * sy - pixel.y();
        const double d = dx * dx + dy * dy;
        if (d < best) {
            best = d;
            *frame = i;
            found = true;
        }
    }
    return found;
}

void RecordViewer::PlaneMousePress(int, QMouseEvent* e) {
    planePress_ = e->position();
}

void RecordViewer::PlaneMouseRelease(int view, QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || e->modifiers() != Qt::NoModifier ||
        (e->position() - planePress_).manhattanLength() > 3) {
        return; // a drag pans
    }
    size_t frame = 0;
    if (FrameAtPlanePixel(view, e->position(), &frame)) {
        SetFrameCursor(frame);
    }
}

} // namespace record
