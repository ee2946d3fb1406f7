// Graph control on QCustomPlot. Updates never redraw at once: they mark the
// graph dirty and one queued replot per event-loop pass draws it, so graphs
// are redrawn at screen rate however fast data arrives.
#pragma once

#include <qcustomplot.h>

namespace ctl {

class Graph : public QCustomPlot {
    Q_OBJECT
public:
    explicit Graph(QWidget* parent = nullptr);
    // Schedules one redraw for the next pass of the event loop.
    void MarkDirty();
    // Axis ranges with manual scaling.
    void SetXRange(double lo, double hi);
    void SetYRange(double lo, double hi);
    void SetYAutoScale(bool on);
    bool YAutoScale() const { return yAutoScale_; }

private:
    bool yAutoScale_ = false;
};

} // namespace ctl
