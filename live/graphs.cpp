#include "live/graphs.h"

#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/live_params.h"
#include "live/live_ui.h"
#include "platform/graph.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"

#include <QTabWidget>

namespace live {

namespace {

constexpr ctl::Rgb kCursorColour = 0x000000;
constexpr ctl::Rgb kBandColour = 0x408080;
constexpr ctl::Rgb kTraceRgb[3] = {0xFF0000, 0x00A000, 0x0000FF};
constexpr ctl::Rgb kTraceInt[3] = {0x000000, 0x008080, 0x008080};
// M is shown at most this high on the intensity bar.
constexpr int16_t kMaxShownM = 1200;

uint16_t CalculationMode() {
    return Parameters().CalculationMode();
}

bool PanelsLoaded() {
    return shell::Shell().PanelsLoaded();
}

// Makes sure `g` has three line graphs in the given colours.
void EnsureTraces(ctl::Graph* g, const ctl::Rgb colours[3]) {
    while (g->graphCount() < 3) {
        QCPGraph* trace = g->addGraph();
        trace->setPen(QPen(ctl::ToQColor(colours[g->graphCount() - 1])));
    }
}

void PlotHistory(ctl::Graph* g, const History& h, const ctl::Rgb colours[3]) {
    EnsureTraces(g, colours);
    QVector<double> keys(kHistoryFrames);
    QVector<double> values(kHistoryFrames);
    for (int t = 0; t < 3; ++t) {
        for (int i = 0; i < kHistoryFrames; ++i) {
            keys[i] = i;
            values[i] = h.At(i, t);
        }
        g->graph(t)->setData(keys, values, true);
    }
    g->RescaleIfAuto();
    g->MarkDataDirty();
}

void SetView(ctl::Graph* g, const ViewAxes& axes, double cx, double cy) {
    g->xAxis->setRange(axes.xLo, axes.xHi);
    g->yAxis->setRange(axes.yLo, axes.yHi);
    g->SetCursor(0, cx, cy);
}

void DrawEllipse(ctl::Graph* g, int32_t left, int32_t bottom, int32_t right, int32_t top,
                 ctl::Rgb colour) {
    auto* e = new QCPItemEllipse(g);
    e->topLeft->setCoords(left, top);
    e->bottomRight->setCoords(right, bottom);
    e->setPen(QPen(ctl::ToQColor(colour)));
    e->setBrush(Qt::NoBrush);
    e->setSelectable(false);
}

enum Axis { kAxisX, kAxisY, kAxisI };

// X, Y and INT of the current frame with the extents the views centre on.
struct FramePoint {
    int16_t x = 0;
    int16_t y = 0;
    int16_t i = 0;
    ViewAxes Axes(int16_t a, Axis aAxis, int16_t b, Axis bAxis) const {
        const Extents& e = GraphExtents;
        const int32_t lo[3] = {e.minX, e.minY, e.minI};
        const int32_t hi[3] = {e.maxX, e.maxY, e.maxI};
        return AxesOf(a, lo[aAxis], hi[aAxis], b, lo[bAxis], hi[bAxis]);
    }
};

FramePoint CurrentPoint() {
    const LiveDataFrameBytes& f = Frames().Current();
    return {f.get(kX), f.get(kY), f.get(kInt)};
}

void WriteGraphs() {
    if (!PanelsLoaded()) {
        return;
    }
    DataPanel& d = Panels().data;
    PlotHistory(d.rgbChart, RgbHistory, kTraceRgb);
    PlotHistory(d.intChart, IntHistory, kTraceInt);
    if (params::Is3D(CalculationMode())) {
        ShowGraph3D();
    } else {
        ShowGraph2D();
    }
}

// The band of the selected teach row (intensity centre +- tolerance) on
// the intensity bar of the 2D page.
void DrawIntensityBand() {
    const uint16_t mode = CalculationMode();
    const IntensityOfRow row = Parameters().SelectedRowBand();
    const Band band = IntensityBarBand(row.centre, row.tolerance);
    ctl::Graph* bar = Panels().data.intensityBar;
    bar->DeleteAllPlots();
    auto* rect = new QCPItemRect(bar);
    rect->topLeft->setCoords(band.lo, 100);
    rect->bottomRight->setCoords(band.hi, 0);
    rect->setPen(QPen(ctl::ToQColor(kBandColour)));
    rect->setBrush(QBrush(ctl::ToQColor(kBandColour)));
    rect->setSelectable(false);
    // M is shown up to 1200, the other intensities up to the converter's range.
    bar->SetXRange(0, params::IsSiM(mode) ? 1200 : 4096);
    bar->MarkDirty();
}

} // namespace

void InitGraphInt2() {
    if (PanelsLoaded()) {
        DrawIntensityBand();
    }
}

void InitGraphs() {
    if (!PanelsLoaded()) {
        return;
    }
    DrawIntensityBand();
    DataPanel& d = Panels().data;
    ctl::Graph* views[4] = {d.view[0], d.view[1], d.view[2], d.colorPlane};
    for (ctl::Graph* g : views) {
        g->DeleteAllPlots();
    }
    const uint16_t mode = CalculationMode();
    const params::TeachTableBytes& table = Parameters().Table();
    for (int row = 0; row < params::kTeachRows; ++row) {
        const RowShape s = ShapeOfRow(table, row, mode);
        const ctl::Rgb colour = Parameters().RowColour(row);
        DrawEllipse(d.view[0], s.x - s.r, s.y - s.r, s.x + s.r, s.y + s.r, colour);
        DrawEllipse(d.view[1], s.x - s.r, s.i - s.t, s.x + s.r, s.i + s.t, colour);
        DrawEllipse(d.view[2], s.y - s.r, s.i - s.t, s.y + s.r, s.i + s.t, colour);
        DrawEllipse(d.colorPlane, s.x - s.r, s.y - s.r, s.x + s.r, s.y + s.r, colour);
    }
    GraphExtents = ExtentsOf(table, mode);
}

void ShowGraph() {
    RequestDisplay(kShowGraphs);
}

void ShowGraph2D() {
    if (!PanelsLoaded()) {
        return;
    }
    DataPanel& d = Panels().data;
    const FramePoint p = CurrentPoint();
    SetView(d.colorPlane, p.Axes(p.x, kAxisX, p.y, kAxisY), p.x, p.y);
    int16_t intensity = p.i;
    if (CalculationMode() == params::kSiM2D && intensity > kMaxShownM) {
        intensity = kMaxShownM;
    }
    d.intensityBar->SetCursor(0, intensity, 50);
}

void ShowGraph3D() {
    if (!PanelsLoaded()) {
        return;
    }
    DataPanel& d = Panels().data;
    const FramePoint p = CurrentPoint();
    SetView(d.view[0], p.Axes(p.x, kAxisX, p.y, kAxisY), p.x, p.y);
    SetView(d.view[1], p.Axes(p.x, kAxisX, p.i, kAxisI), p.x, p.i);
    SetView(d.view[2], p.Axes(p.y, kAxisY, p.i, kAxisI), p.y, p.i);
    PlotHistory(d.rgbChart3D, RgbHistory, kTraceRgb);
}

int CBF_GraphRGB(QWidget*, ctl::Event e) {
    ctl::Graph* g = Panels().data.rgbChart;
    if (e == ctl::Event::LeftDoubleClick) {
        g->SetYAutoScale(true);
    } else if (e == ctl::Event::LeftClick) {
        g->SetYRange(0, 4096);
    }
    return 0;
}

int CBF_GraphINT1(QWidget*, ctl::Event e) {
    ctl::Graph* g = Panels().data.intChart;
    if (e == ctl::Event::LeftDoubleClick) {
        g->SetYAutoScale(true);
    } else if (e == ctl::Event::LeftClick) {
        g->SetYRange(0, params::IsSiM(CalculationMode()) ? 1200 : 4096);
    }
    return 0;
}

int CBF_Graph2D(QWidget*, ctl::Event) {
    return 0;
}

int CBF_Graph3D(QWidget*, ctl::Event) {
    return 0;
}

void ResetGraphState() {
    ResetHistories();
}

void InstallGraphDisplays() {
    DataPanel& d = Panels().data;
    for (ctl::Graph* g : {d.colorPlane, d.intensityBar, d.view[0], d.view[1], d.view[2]}) {
        if (g->CursorCount() == 0) {
            g->AddCursor(kCursorColour);
        }
    }
    SetDisplayWriter(kShowGraphs, WriteGraphs);
}

} // namespace live
