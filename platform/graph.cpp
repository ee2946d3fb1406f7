#include "platform/graph.h"

namespace ctl {

Graph::Graph(QWidget* parent) : QCustomPlot(parent) {
    setMinimumSize(120, 90);
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
}

void Graph::MarkDirty() {
    replot(QCustomPlot::rpQueuedReplot);
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
    if (on) {
        yAxis->rescale(true);
    }
    MarkDirty();
}

} // namespace ctl
