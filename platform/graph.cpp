#include "platform/graph.h"

#include <QHideEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QShowEvent>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace ctl {
namespace {

constexpr const char* kCursorLayer = "cursors";
// Room for the tick labels and captions of a square plot area.
constexpr int kSquareMarginLeft = 46;
constexpr int kSquareMarginBottom = 30;
constexpr int kSquareMarginTop = 6;
constexpr int kSquareMarginRight = 10;
// A zoom rectangle smaller than this (pixels, either side) is taken for a
// click and leaves the axes alone.
constexpr int kMinZoomPixels = 4;

} // namespace

Graph::Graph(QWidget* parent) : QCustomPlot(parent) {
    setMinimumSize(120, 90);
    // The graph fills all of itself with its (opaque) background first, so
    // what lies behind it is not painted at each repaint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    xAxis->setRange(0, 100);
    yAxis->setRange(0, 4096);
    QFont f = font();
    f.setPointSize(7);
    xAxis->setTickLabelFont(f);
    yAxis->setTickLabelFont(f);
    xAxis->setLabelFont(f);
    yAxis->setLabelFont(f);
    axisRect()->setAutoMargins(QCP::msLeft | QCP::msBottom);
    axisRect()->setMargins(QMargins(0, 6, 8, 0));
    // Plain lines draw several times faster than antialiased ones, which
    // matters for graphs redrawn many times a second.
    setNotAntialiasedElements(QCP::aeAll);
    // The cursor layer gets a paint buffer of its own with the first cursor
    // (AddCursor); until then it shares one with the axes, and so does the
    // overlay (a zoom rectangle while it is drawn): every buffer is an image
    // of the graph's size drawn onto the screen at each repaint.
    addLayer(kCursorLayer, layer("main"), QCustomPlot::limAbove);
    layer("overlay")->setMode(QCPLayer::lmLogical);
    // The data layer has its own paint buffer, so it can be painted alone.
    layer("main")->setMode(QCPLayer::lmBuffered);
    // Whatever draws the whole graph (also a resize or a zoom) records the
    // axes the grid and tick labels were drawn for.
    connect(this, &QCustomPlot::afterReplot, this, [this] {
        drawnOnce_ = true;
        drawnCursorArea_ = CursorArea();
        drawnX_ = xAxis->range();
        drawnY_ = yAxis->range();
        if (!isVisible() && !painting_) {
            // Drawn while hidden (the first replot after construction, a
            // resize of a page not shown): nothing shows the buffers.
            ReleasePaintBuffers();
        }
    });
}

void Graph::ReleasePaintBuffers() {
    mPaintBuffers.clear();
    drawnOnce_ = false;
    staleWhileHidden_ = true;
}

void Graph::MarkDirty() {
    fullDirty_ = true;
    QueueRefresh();
}

void Graph::MarkDataDirty() {
    dataDirty_ = true;
    QueueRefresh();
}

void Graph::QueueRefresh() {
    if (!isVisible()) {
        staleWhileHidden_ = true;
        return;
    }
    if (!refreshQueued_) {
        refreshQueued_ = true;
        QMetaObject::invokeMethod(this, &Graph::Refresh, Qt::QueuedConnection);
    }
}

void Graph::Refresh() {
    refreshQueued_ = false;
    if (!isVisible()) {
        staleWhileHidden_ = true;
        return;
    }
    const bool axesMoved = xAxis->range() != drawnX_ || yAxis->range() != drawnY_;
    if (fullDirty_ || !drawnOnce_ || axesMoved) {
        replot(QCustomPlot::rpQueuedRefresh);
    } else {
        if (dataDirty_) {
            layer("main")->replot();
        }
        if (cursorsDirty_) {
            RedrawCursorLayer();
        }
    }
    fullDirty_ = dataDirty_ = cursorsDirty_ = false;
}

void Graph::showEvent(QShowEvent* e) {
    QCustomPlot::showEvent(e);
    if (staleWhileHidden_) {
        staleWhileHidden_ = false;
        MarkDirty();
    }
}

void Graph::hideEvent(QHideEvent* e) {
    QCustomPlot::hideEvent(e);
    if (!e->spontaneous()) {
        ReleasePaintBuffers();
    }
}

void Graph::paintEvent(QPaintEvent* e) {
    if (mPaintBuffers.isEmpty()) {
        // Painted before the replot queued by showing it (a grab): the
        // buffers are drawn now.
        painting_ = true;
        replot(QCustomPlot::rpQueuedRefresh);
        painting_ = false;
    }
    // As the library paints, but one rectangle of the region at a time: the
    // raster engine blends an image clipped to several rectangles (the strips
    // a crosshair left and reached) span by span and hands every area taller
    // than about a hundred lines to a pool of threads, waking them at each
    // repaint; clipped to one rectangle it copies the rows itself.
    QCPPainter painter(this);
    if (!painter.isActive()) {
        return;
    }
    for (const QRect& r : e->region()) {
        painter.setClipRect(r);
        if (mBackgroundBrush.style() != Qt::NoBrush) {
            painter.fillRect(mViewport, mBackgroundBrush);
        }
        drawBackground(&painter);
        for (const QSharedPointer<QCPAbstractPaintBuffer>& buffer : std::as_const(mPaintBuffers)) {
            buffer->draw(&painter);
        }
    }
}

void Graph::SetXRange(double lo, double hi) {
    xAxis->setRange(lo, hi);
    MarkDirty();
}

void Graph::SetYRange(double lo, double hi) {
    yAutoScale_ = false;
    yAxis->setRange(lo, hi);
    MarkDirty();
}

void Graph::SetYAutoScale(bool on) {
    yAutoScale_ = on;
    RescaleIfAuto();
    MarkDirty();
}

void Graph::SetSquarePlotArea(bool on) {
    square_ = on;
    if (on) {
        axisRect()->setAutoMargins(QCP::msNone);
        ApplySquareMargins();
    } else {
        axisRect()->setAutoMargins(QCP::msLeft | QCP::msBottom);
        axisRect()->setMargins(QMargins(0, 6, 8, 0));
    }
    MarkDirty();
}

void Graph::ApplySquareMargins() {
    const int w = width() - kSquareMarginLeft - kSquareMarginRight;
    const int h = height() - kSquareMarginTop - kSquareMarginBottom;
    const int side = std::max(10, std::min(w, h));
    const int extraX = std::max(0, w - side);
    const int extraY = std::max(0, h - side);
    axisRect()->setMargins(QMargins(kSquareMarginLeft + extraX / 2, kSquareMarginTop + extraY / 2,
                                    kSquareMarginRight + extraX - extraX / 2,
                                    kSquareMarginBottom + extraY - extraY / 2));
}

void Graph::resizeEvent(QResizeEvent* e) {
    if (square_) {
        ApplySquareMargins();
    }
    QCustomPlot::resizeEvent(e);
}

void Graph::RescaleIfAuto() {
    if (!yAutoScale_) {
        return;
    }
    yAxis->rescale(true);
    const QCPRange r = yAxis->range();
    if (r.size() < 1) {
        yAxis->setRange(r.center() - 1, r.center() + 1); // a flat trace still shows
    }
}

void Graph::DeleteAllPlots() {
    clearPlottables();
    for (int i = itemCount() - 1; i >= 0; --i) {
        QCPAbstractItem* it = item(i);
        if (it->layer() != layer(kCursorLayer)) {
            removeItem(it);
        }
    }
    MarkDirty();
}

int Graph::AddCursor(Rgb colour) {
    Cursor c;
    QPen pen(ToQColor(colour));
    pen.setWidth(1);
    c.vertical = new QCPItemStraightLine(this);
    c.horizontal = new QCPItemStraightLine(this);
    for (QCPItemStraightLine* line : {c.vertical, c.horizontal}) {
        line->setLayer(kCursorLayer);
        line->setPen(pen);
        line->setSelectable(false);
    }
    cursors_.push_back(c);
    if (layer(kCursorLayer)->mode() != QCPLayer::lmBuffered) {
        layer(kCursorLayer)->setMode(QCPLayer::lmBuffered);
        MarkDirty();
    }
    const int i = CursorCount() - 1;
    PlaceCursor(i, xAxis->range().center(), yAxis->range().center());
    return i;
}

void Graph::PlaceCursor(int i, double x, double y) {
    Cursor& c = cursors_[static_cast<size_t>(i)];
    c.x = x;
    c.y = y;
    c.vertical->point1->setCoords(x, 0);
    c.vertical->point2->setCoords(x, 1);
    c.horizontal->point1->setCoords(0, y);
    c.horizontal->point2->setCoords(1, y);
    c.horizontal->setVisible(!c.verticalOnly);
}

void Graph::SetCursor(int i, double x, double y) {
    if (i < 0 || i >= CursorCount() || !std::isfinite(x) || !std::isfinite(y)) {
        return;
    }
    PlaceCursor(i, x, y);
    cursorsDirty_ = true;
    QueueRefresh();
}

QPointF Graph::CursorPosition(int i) const {
    if (i < 0 || i >= CursorCount()) {
        return {};
    }
    const Cursor& c = cursors_[static_cast<size_t>(i)];
    return {c.x, c.y};
}

void Graph::SetCursorVerticalOnly(int i, bool on) {
    if (i < 0 || i >= CursorCount()) {
        return;
    }
    cursors_[static_cast<size_t>(i)].verticalOnly = on;
    PlaceCursor(i, cursors_[static_cast<size_t>(i)].x, cursors_[static_cast<size_t>(i)].y);
}

void Graph::ReplotCursors() {
    if (mPaintBuffers.isEmpty()) {
        replot(QCustomPlot::rpQueuedRefresh);
        return;
    }
    RedrawCursorLayer();
}

namespace {

// The layer's own buffer and its drawing into it, which the plot reaches
// only through a replot that repaints the whole widget.
struct LayerInside : QCPLayer {
    static constexpr auto kBuffer = &LayerInside::mPaintBuffer;
    static constexpr auto kDrawToBuffer = &LayerInside::drawToPaintBuffer;
};

} // namespace

void Graph::RedrawCursorLayer() {
    QCPLayer* l = layer(kCursorLayer);
    const QSharedPointer<QCPAbstractPaintBuffer> buffer = (l->*LayerInside::kBuffer).toStrongRef();
    // Anything else on the layer, or buffers to be made anew: the layer's
    // own replot, which repaints everything.
    if (l->mode() != QCPLayer::lmBuffered || buffer.isNull() || hasInvalidatedPaintBuffers() ||
        l->children().size() != static_cast<qsizetype>(2 * cursors_.size())) {
        l->replot();
        drawnCursorArea_ = CursorArea();
        return;
    }
    const QRegion now = CursorArea();
    if (now == drawnCursorArea_ && !now.isEmpty()) {
        return; // on the same pixels: nothing to draw
    }
    // What the layer's replot does, with the repaint kept to the crosshairs;
    // everything on the layer lies where they were drawn, so clearing that
    // clears the buffer.
    if (drawnCursorArea_.isEmpty()) {
        buffer->clear(Qt::transparent);
    } else if (QCPPainter* p = buffer->startPainting()) {
        p->setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect& r : drawnCursorArea_) {
            p->fillRect(r, Qt::transparent);
        }
        delete p;
        buffer->donePainting();
    }
    (l->*LayerInside::kDrawToBuffer)();
    buffer->setInvalidated(false);
    update(drawnCursorArea_ | now);
    drawnCursorArea_ = now;
}

QRegion Graph::CursorArea() const {
    constexpr int kMargin = 2; // the pen and its rounding
    // Items on a layer are drawn clipped to the axis rectangle moved up by
    // one pixel: the row above the rectangle holds crosshair pixels too.
    const QRect plot = axisRect()->rect().adjusted(0, -1, 0, 0);
    QRegion area;
    for (const Cursor& c : cursors_) {
        const int x = static_cast<int>(std::lround(xAxis->coordToPixel(c.x)));
        area += QRect(x - kMargin, plot.top(), 2 * kMargin + 1, plot.height()) & plot;
        if (!c.verticalOnly) {
            const int y = static_cast<int>(std::lround(yAxis->coordToPixel(c.y)));
            area += QRect(plot.left(), y - kMargin, plot.width(), 2 * kMargin + 1) & plot;
        }
    }
    return area;
}

int Graph::NearestCursor(const QPointF& pixel) const {
    int best = -1;
    double bestDistance = std::numeric_limits<double>::max();
    for (int i = 0; i < CursorCount(); ++i) {
        const Cursor& c = cursors_[static_cast<size_t>(i)];
        const double dx = xAxis->coordToPixel(c.x) - pixel.x();
        const double dy = c.verticalOnly ? 0 : yAxis->coordToPixel(c.y) - pixel.y();
        const double d = dx * dx + dy * dy;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

bool Graph::NearestDataPoint(const QPointF& pixel, double* x, double* y) const {
    bool found = false;
    double bestDistance = std::numeric_limits<double>::max();
    auto consider = [&](double px, double py) {
        const double dx = xAxis->coordToPixel(px) - pixel.x();
        const double dy = yAxis->coordToPixel(py) - pixel.y();
        const double d = dx * dx + dy * dy;
        if (d < bestDistance) {
            bestDistance = d;
            *x = px;
            *y = py;
            found = true;
        }
    };
    for (int g = 0; g < graphCount(); ++g) {
        for (const QCPGraphData& p : *graph(g)->data()) {
            consider(p.key, p.value);
        }
    }
    for (int i = 0; i < plottableCount(); ++i) {
        if (auto* curve = qobject_cast<QCPCurve*>(const_cast<Graph*>(this)->plottable(i))) {
            for (const QCPCurveData& p : *curve->data()) {
                consider(p.key, p.value);
            }
        }
    }
    return found;
}

void Graph::mousePressEvent(QMouseEvent* e) {
    if (cursorsMovable_ && e->button() == Qt::LeftButton && CursorCount() > 0 &&
        !(e->modifiers() & Qt::ControlModifier)) {
        dragging_ = NearestCursor(e->position());
        mouseMoveEvent(e);
        return;
    }
    if (ctrlDragZoom_) {
        // The zoom rectangle starts only with Ctrl held; a plain drag is no zoom.
        const bool zoom = e->button() == Qt::LeftButton && (e->modifiers() & Qt::ControlModifier);
        setSelectionRectMode(zoom ? QCP::srmZoom : QCP::srmNone);
    }
    QCustomPlot::mousePressEvent(e);
}

void Graph::mouseMoveEvent(QMouseEvent* e) {
    if (dragging_ >= 0) {
        PlaceCursor(dragging_, xAxis->pixelToCoord(e->position().x()),
                    yAxis->pixelToCoord(e->position().y()));
        ReplotCursors();
        emit cursorMoved(dragging_);
        return;
    }
    QCustomPlot::mouseMoveEvent(e);
}

void Graph::mouseReleaseEvent(QMouseEvent* e) {
    if (dragging_ >= 0) {
        const int i = dragging_;
        dragging_ = -1;
        double x = 0;
        double y = 0;
        if (cursorSnap_ && NearestDataPoint(e->position(), &x, &y)) {
            PlaceCursor(i, x, y);
        }
        ReplotCursors();
        emit cursorReleased(i);
        return;
    }
    QCustomPlot::mouseReleaseEvent(e);
    if (ctrlDragZoom_) {
        setSelectionRectMode(QCP::srmNone);
    }
}

void Graph::processRectZoom(QRect rect, QMouseEvent* e) {
    if (rect.width() < kMinZoomPixels || rect.height() < kMinZoomPixels) {
        replot(QCustomPlot::rpQueuedReplot); // removes the rectangle
        return;
    }
    QCustomPlot::processRectZoom(rect, e);
    emit zoomed();
}

} // namespace ctl
