// Graph control on QCustomPlot. Updates never redraw at once: they mark the
// graph dirty and one queued replot per event-loop pass draws it; callers
// that receive data faster than the screen shows it update the graph at
// screen rate only (see live::RequestDisplay).
//
// Cursors are crosshairs on a layer of their own, so moving one redraws the
// cursor layer only, not the plotted data; likewise new data with unchanged
// axes redraws only the data layer (MarkDataDirty). Movable cursors follow the mouse
// (the nearest one is taken) and, when snapping is on, jump on release to
// the nearest plotted data point.
//
// With Ctrl-drag zoom on, Ctrl + left drag draws a rectangle whose extent
// becomes the new axis ranges when the button is released.
//
// Only a graph on screen keeps its paint buffers (an image of the widget's
// size per buffered layer): a hidden graph gives them back and draws itself
// anew when it is shown or painted again.
#pragma once

#include "platform/widgets.h"

#include <qcustomplot.h>

#include <vector>

namespace ctl {

class Graph : public QCustomPlot {
    Q_OBJECT
public:
    explicit Graph(QWidget* parent = nullptr);
    // Schedules one redraw for the next pass of the event loop; a hidden
    // graph is redrawn when it is shown again.
    void MarkDirty();
    // The same for a change of the plotted data (or items) only: when the
    // axes keep their ranges, the grid, axes and tick labels stay as drawn
    // and only the data layer is painted again, which is what makes a graph
    // cheap to refresh many times a second.
    void MarkDataDirty();
    // Axis ranges with manual scaling.
    void SetXRange(double lo, double hi);
    void SetYRange(double lo, double hi);
    // Y autoscaling: on every RescaleIfAuto the Y axis fits the plotted data.
    void SetYAutoScale(bool on);
    bool YAutoScale() const { return yAutoScale_; }
    void RescaleIfAuto();
    // Keeps the plot area square whatever the widget's shape, so that a view
    // whose two axes have the same length shows circles as circles.
    void SetSquarePlotArea(bool on);
    // Whether the graph holds its paint buffers (while it is on screen).
    bool HoldsPaintBuffers() const { return !mPaintBuffers.isEmpty(); }
    // Removes every plottable and every item except the cursors.
    void DeleteAllPlots();

    // ---- cursors (crosshairs), numbered from 0 -------------------------------
    int AddCursor(Rgb colour);
    int CursorCount() const { return static_cast<int>(cursors_.size()); }
    void SetCursor(int i, double x, double y);
    QPointF CursorPosition(int i) const;
    // Cursor i shows only its vertical line (time cursors of a trace graph).
    void SetCursorVerticalOnly(int i, bool on);
    void SetCursorsMovable(bool on) { cursorsMovable_ = on; }
    void SetCursorSnap(bool on) { cursorSnap_ = on; }
    // Redraws the cursor layer only; only the strips the crosshairs left and
    // reached are painted on the screen again.
    void ReplotCursors();

    // ---- zoom -----------------------------------------------------------------
    // Ctrl + left drag zooms into the rectangle drawn (off by default).
    void SetCtrlDragZoom(bool on) { ctrlDragZoom_ = on; }
    bool CtrlDragZoom() const { return ctrlDragZoom_; }

signals:
    // The user dragged cursor i (during the drag) and released it.
    void cursorMoved(int i);
    void cursorReleased(int i);
    // The user zoomed into a rectangle (the axes have their new ranges).
    void zoomed();

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void processRectZoom(QRect rect, QMouseEvent* e) override;

private:
    struct Cursor {
        QCPItemStraightLine* vertical = nullptr;
        QCPItemStraightLine* horizontal = nullptr;
        double x = 0;
        double y = 0;
        bool verticalOnly = false;
    };
    void ApplySquareMargins();
    // Gives the paint buffers back; the next replot makes them again.
    void ReleasePaintBuffers();
    // What is marked gets drawn at the next pass of the event loop.
    void QueueRefresh();
    void Refresh();
    int NearestCursor(const QPointF& pixel) const;
    void PlaceCursor(int i, double x, double y);
    // The cursor layer drawn anew and the widget repainted where the
    // crosshairs were and are.
    void RedrawCursorLayer();
    // The pixels the crosshairs cover, with a margin.
    QRegion CursorArea() const;
    // The plotted data point nearest to pixel position `pixel`; false when none.
    bool NearestDataPoint(const QPointF& pixel, double* x, double* y) const;

    bool yAutoScale_ = false;
    bool staleWhileHidden_ = false;
    bool refreshQueued_ = false;
    bool fullDirty_ = false;
    bool dataDirty_ = false;
    bool cursorsDirty_ = false;
    bool drawnOnce_ = false;
    bool painting_ = false;
    QCPRange drawnX_;
    QCPRange drawnY_;
    bool square_ = false;
    bool cursorsMovable_ = false;
    bool cursorSnap_ = false;
    bool ctrlDragZoom_ = false;
    int dragging_ = -1;
    std::vector<Cursor> cursors_;
    QRegion drawnCursorArea_; // where the crosshairs are on the screen
};

} // namespace ctl
