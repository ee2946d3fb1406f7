#include "live/signal_graph.h"

#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/live_ui.h"
#include "platform/graph.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"

#include <algorithm>

namespace live {

SignalSeries SignalGraphSeries;

namespace {

// RED and X in red, GREEN and Y in green, BLUE in blue, INT and TEMP in teal.
constexpr ctl::Rgb kSignalColour[kSignalCount] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFF0000,
                                                  0x00FF00, 0x008080, 0x008080};

QCPGraph* TraceOf(ctl::Graph* g, int s) {
    if (g->graphCount() == 0) {
        QCPGraph* trace = g->addGraph();
        trace->setPen(QPen(ctl::ToQColor(kSignalColour[s])));
    }
    return g->graph(0);
}

void WriteSignalGraph() {
    if (!shell::Shell().PanelsLoaded()) {
        return;
    }
    SignalGraphPanel& ui = Panels().signalGraph;
    const SignalSeries& series = SignalGraphSeries;
    const double lastX = series.counter == 0 ? 0 : series.currentX;
    for (int s = 0; s < kSignalCount; ++s) {
        ui.value[s]->SetVal(series.current[s]);
        ctl::Graph* g = ui.graph[s];
        if (!g->isVisible()) {
            continue; // drawn when it is chosen
        }
        g->xAxis->setRange(std::max(0.0, lastX - kMaxSignalPoints), std::max(lastX, 10.0));
        if (g->graphCount() > 0 && !g->graph(0)->data()->isEmpty()) {
            bool found = false;
            QCPRange r = g->graph(0)->data()->valueRange(found);
            if (found) {
                const double margin = std::max(10.0, r.size() * 0.05);
                g->yAxis->setRange(r.lower - margin, r.upper + margin);
            }
        }
        g->MarkDirty();
    }
}

} // namespace

void InitPanelGraph() {
    SignalGraphSeries.Start(Frames().Current());
    if (!shell::Shell().PanelsLoaded()) {
        return;
    }
    for (ctl::Graph* g : Panels().signalGraph.graph) {
        g->DeleteAllPlots();
    }
    RequestDisplay(kShowSignalGraph);
}

void AddToSignalGraph(const LiveDataFrameBytes& frame) {
    SignalSeries::Segment segments[kSignalCount];
    const bool first = SignalGraphSeries.counter == 0;
    SignalGraphSeries.Add(frame, segments);
    if (!shell::Shell().PanelsLoaded()) {
        return;
    }
    SignalGraphPanel& ui = Panels().signalGraph;
    for (int s = 0; s < kSignalCount; ++s) {
        // One connected line through the frames is the chain of segments.
        QCPGraph* trace = TraceOf(ui.graph[s], s);
        if (first) {
            trace->addData(segments[s].x0, segments[s].y0);
        }
        trace->addData(segments[s].x1, segments[s].y1);
        if (trace->dataCount() > kMaxSignalPoints) {
            trace->data()->removeBefore(segments[s].x1 - kMaxSignalPoints + 1);
        }
    }
    RequestDisplay(kShowSignalGraph);
}

void SetGraphVisible() {
    SignalGraphPanel& ui = Panels().signalGraph;
    int chosen = ui.signal->Val();
    if (chosen < 0 || chosen >= kSignalCount) {
        chosen = 0;
    }
    for (ctl::Graph* g : ui.graph) {
        g->setVisible(false);
    }
    ui.graph[chosen]->setVisible(true);
    RequestDisplay(kShowSignalGraph);
}

int CBF_ButtonShowGraph(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        shell::Shell().ShowChild(shell::Child::SignalGraph);
        RequestDisplay(kShowSignalGraph);
    }
    return 0;
}

int CBF_ButtonGpClose(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        shell::Shell().ShowChild(shell::Child::Data);
    }
    return 0;
}

int CBF_EditSignal(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        SetGraphVisible();
    }
    return 0;
}

int CBF_PanelGraphGraph(QWidget*, ctl::Event) {
    return 0;
}

int CBF_GRAPHP(QWidget*, ctl::Event) {
    return 0;
}

void InstallSignalGraphDisplays() {
    SetDisplayWriter(kShowSignalGraph, WriteSignalGraph);
}

} // namespace live
