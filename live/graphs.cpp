#include "live/graphs.h"

#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/live_ui.h"
#include "params/parameter_model.h"
#include "platform/graph.h"
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
    Extents e;
    ViewAxes Axes(int16_t a, Axis aAxis, int16_t b, Axis bAxis) const {
        const int32_t lo[3] = {e.minX, e.minY, e.minI};
        const int32_t hi[3] = {e.maxX, e.maxY, e.maxI};
        return AxesOf(a, lo[aAxis], hi[aAxis], b, lo[bAxis], hi[bAxis]);
    }
};

FramePoint PointOf(const LiveDataFrameBytes& f, const Extents& e) {
    return {f.get(kX), f.get(kY), f.get(kInt), e};
}

} // namespace

GraphView::GraphView(DataPanel& panel, const params::ParameterModel& model,
                     const FrameStream& frames, LiveState& live, DisplayRefresh& refresh)
    : panel_(panel), model_(model), frames_(frames), live_(live), refresh_(refresh) {
    DataPanel& d = panel_;
    for (ctl::Graph* g : {d.colorPlane, d.intensityBar, d.view[0], d.view[1], d.view[2]}) {
        if (g->CursorCount() == 0) {
            g->AddCursor(kCursorColour);
        }
    }
    writer_ = refresh_.InstallWriter(kShowGraphs, [this] { WriteGraphs(); });
}

void GraphView::WriteGraphs() {
    DataPanel& d = panel_;
    PlotHistory(d.rgbChart, live_.RgbHistory, kTraceRgb);
    PlotHistory(d.intChart, live_.IntHistory, kTraceInt);
    if (params::Is3D(model_.CalculationMode())) {
        ShowGraph3D();
    } else {
        ShowGraph2D();
    }
}

// The band of the selected teach row (intensity centre +- tolerance) on
// the intensity bar of the 2D page.
void GraphView::DrawIntensityBand() {
    const uint16_t mode = model_.CalculationMode();
    const IntensityOfRow row = SelectedRowBand(model_);
    const Band band = IntensityBarBand(row.centre, row.tolerance);
    ctl::Graph* bar = panel_.intensityBar;
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

void GraphView::InitGraphInt2() {
    DrawIntensityBand();
}

void GraphView::InitGraphs() {
    DrawIntensityBand();
    DataPanel& d = panel_;
    ctl::Graph* views[4] = {d.view[0], d.view[1], d.view[2], d.colorPlane};
    for (ctl::Graph* g : views) {
        g->DeleteAllPlots();
    }
    const uint16_t mode = model_.CalculationMode();
    const params::TeachTableBytes& table = model_.Table();
    for (int row = 0; row < params::kTeachRows; ++row) {
        const RowShape s = ShapeOfRow(table, row, mode);
        const ctl::Rgb colour = model_.RowColour(row);
        DrawEllipse(d.view[0], s.x - s.r, s.y - s.r, s.x + s.r, s.y + s.r, colour);
        DrawEllipse(d.view[1], s.x - s.r, s.i - s.t, s.x + s.r, s.i + s.t, colour);
        DrawEllipse(d.view[2], s.y - s.r, s.i - s.t, s.y + s.r, s.i + s.t, colour);
        DrawEllipse(d.colorPlane, s.x - s.r, s.y - s.r, s.x + s.r, s.y + s.r, colour);
    }
    live_.GraphExtents = ExtentsOf(table, mode);
}

void GraphView::ShowGraph() {
    refresh_.Request(kShowGraphs);
}

void GraphView::ShowGraph2D() {
    DataPanel& d = panel_;
    const FramePoint p = PointOf(frames_.Current(), live_.GraphExtents);
    SetView(d.colorPlane, p.Axes(p.x, kAxisX, p.y, kAxisY), p.x, p.y);
    int16_t intensity = p.i;
    if (model_.CalculationMode() == params::kSiM2D && intensity > kMaxShownM) {
        intensity = kMaxShownM;
    }
    d.intensityBar->SetCursor(0, intensity, 50);
}

void GraphView::ShowGraph3D() {
    DataPanel& d = panel_;
    const FramePoint p = PointOf(frames_.Current(), live_.GraphExtents);
    SetView(d.view[0], p.Axes(p.x, kAxisX, p.y, kAxisY), p.x, p.y);
    SetView(d.view[1], p.Axes(p.x, kAxisX, p.i, kAxisI), p.x, p.i);
    SetView(d.view[2], p.Axes(p.y, kAxisY, p.i, kAxisI), p.y, p.i);
    PlotHistory(d.rgbChart3D, live_.RgbHistory, kTraceRgb);
}

int GraphView::CBF_GraphRGB(QWidget*, ctl::Event e) {
    ctl::Graph* g = panel_.rgbChart;
    if (e == ctl::Event::LeftDoubleClick) {
        g->SetYAutoScale(true);
    } else if (e == ctl::Event::LeftClick) {
        g->SetYRange(0, 4096);
    }
    return 0;
}

int GraphView::CBF_GraphINT1(QWidget*, ctl::Event e) {
    ctl::Graph* g = panel_.intChart;
    if (e == ctl::Event::LeftDoubleClick) {
        g->SetYAutoScale(true);
    } else if (e == ctl::Event::LeftClick) {
        g->SetYRange(0, params::IsSiM(model_.CalculationMode()) ? 1200 : 4096);
    }
    return 0;
}

int GraphView::CBF_Graph2D(QWidget*, ctl::Event) {
    return 0;
}

int GraphView::CBF_Graph3D(QWidget*, ctl::Event) {
    return 0;
}

} // namespace live
