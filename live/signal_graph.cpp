#include "live/signal_graph.h"

#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/live_ui.h"
#include "platform/graph.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"

#include <algorithm>

namespace live {
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

} // namespace

SignalGraphView::SignalGraphView(SignalGraphPanel& panel, const FrameStream& frames,
                                 LiveState& live, DisplayRefresh& refresh)
    : panel_(panel), frames_(frames), live_(live), refresh_(refresh) {
    writer_ = refresh_.InstallWriter(kShowSignalGraph, [this] { WriteSignalGraph(); });
}

void SignalGraphView::WriteSignalGraph() {
    SignalGraphPanel& ui = panel_;
    const SignalSeries& series = live_.SignalGraphSeries;
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

void SignalGraphView::InitPanelGraph() {
    live_.SignalGraphSeries.Start(frames_.Current());
    for (ctl::Graph* g : panel_.graph) {
        g->DeleteAllPlots();
    }
    refresh_.Request(kShowSignalGraph);
}

void SignalGraphView::AddToSignalGraph(const LiveDataFrameBytes& frame) {
    SignalSeries::Segment segments[kSignalCount];
    const bool first = live_.SignalGraphSeries.counter == 0;
    live_.SignalGraphSeries.Add(frame, segments);
    SignalGraphPanel& ui = panel_;
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
    refresh_.Request(kShowSignalGraph);
}

void SignalGraphView::SetGraphVisible() {
    SignalGraphPanel& ui = panel_;
    int chosen = ui.signal->Val();
    if (chosen < 0 || chosen >= kSignalCount) {
        chosen = 0;
    }
    for (ctl::Graph* g : ui.graph) {
        g->setVisible(false);
    }
    ui.graph[chosen]->setVisible(true);
    refresh_.Request(kShowSignalGraph);
}

int SignalGraphView::CBF_ButtonShowGraph(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        shell::Shell().ShowChild(shell::Child::SignalGraph);
        refresh_.Request(kShowSignalGraph);
    }
    return 0;
}

int SignalGraphView::CBF_ButtonGpClose(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        shell::Shell().ShowChild(shell::Child::Data);
    }
    return 0;
}

int SignalGraphView::CBF_EditSignal(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        SetGraphVisible();
    }
    return 0;
}

int SignalGraphView::CBF_PanelGraphGraph(QWidget*, ctl::Event) {
    return 0;
}

int SignalGraphView::CBF_GRAPHP(QWidget*, ctl::Event) {
    return 0;
}

} // namespace live
