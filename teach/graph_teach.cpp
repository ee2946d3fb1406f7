#include "teach/graph_teach.h"

#include "link/com232.h"
#include "link/program_link.h"
#include "live/display_refresh.h"
#include "live/go_loop.h"
#include "live/graphs.h"
#include "live/live_data.h"
#include "live/live_math.h"
#include "params/parameter_model.h"
#include "platform/graph.h"
#include "platform/popups.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"
#include "teach/mean_teach.h"
#include "teach/point_cloud.h"
#include "teach/teach_edit.h"
#include "teach/teach_labels.h"
#include "teach/teach_ui.h"

#include <QPointer>

#include <cmath>
#include <optional>

namespace teach {

PointBuffer RecordedPoints;

namespace {

constexpr QRgb kPointColour = 0xFF0000;
constexpr ctl::Rgb kCursorColour = 0x000000;

bool gRecording = false;
QPointer<PointCloud> gCloud[3];
// Where cursor 1 of each view was put last (by a frame or a selection); a
// commit that finds nothing to select puts the cursors back there.
Projection gCursorAt[3];
// The colour of the point the displays show, taught as the row colour when
// row colours are set automatically.
std::optional<uint32_t> gShownColour;
bool gNewPoint = false;

TeachGraphPanel& Ui() {
    return Panels().teachGraph;
}

PointCloud* CloudOf(int view) {
    ctl::Graph* g = Ui().graph[view];
    if (gCloud[view].isNull() || !g->hasPlottable(gCloud[view].data())) {
        gCloud[view] = new PointCloud(g->xAxis, g->yAxis, kPointColour);
    }
    return gCloud[view].data();
}

void ShowPoint(const RecordedPoint& p) {
    TeachGraphPanel& ui = Ui();
    ui.cursorValue[0]->SetVal(std::trunc(p.x));
    ui.cursorValue[1]->SetVal(std::trunc(p.y));
    ui.cursorValue[2]->SetVal(std::trunc(p.intensity));
}

void PutCursors(const RecordedPoint& p) {
    for (int v = 0; v < 3; ++v) {
        gCursorAt[v] = ProjectionOf(p, v);
        Ui().graph[v]->SetCursor(0, gCursorAt[v].a, gCursorAt[v].b);
    }
}

// The screen-rate display of a recording: the newest point in the value
// displays and under the cursors, the counter, and one replot of each view.
void WriteTeachGraph() {
    if (!shell::Shell().PanelsLoaded()) {
        return;
    }
    Ui().counter->SetVal(RecordCount());
    if (gNewPoint && RecordCount() > 0) {
        gNewPoint = false;
        const RecordedPoint& p = RecordedPoints.At(RecordCount() - 1);
        ShowPoint(p);
        PutCursors(p);
    }
    for (ctl::Graph* g : Ui().graph) {
        g->MarkDirty();
    }
}

} // namespace

int RecordCount() {
    return RecordedPoints.Count();
}

void GetDataTP2() {
    auto& AcquisitionRunning = com232::ProgramLink().AcquisitionRunning;
    AcquisitionRunning = 1;
    while (AcquisitionRunning == 1) {
        com232::ProgramLink().FillTxBuf(com232::kOrderLiveData, 0, 0);
        if (com232::ProgramLink().DataExchange(static_cast<int>(com232::kHeaderSize)) == 1) {
            live::TakeFrameFromAnswer();
            SetTP2Data();
        }
    }
}

void SetTP2Data() {
    const live::LiveDataFrameBytes& f = live::LiveDataFrame;
    RecordedPoint p;
    p.x = f.get(live::kX);
    p.y = f.get(live::kY);
    p.intensity = f.get(live::kInt);
    p.colour = live::ColourOfRgb(f.get(live::kRed), f.get(live::kGreen), f.get(live::kBlue));
    if (!RecordedPoints.Append(p)) {
        com232::ProgramLink().AcquisitionRunning = 0; // full: nothing more is stored
        return;
    }
    for (int v = 0; v < 3; ++v) {
        const Projection pr = ProjectionOf(p, v);
        CloudOf(v)->AddPoint(pr.a, pr.b);
    }
    gShownColour = p.colour;
    gNewPoint = true;
    if (RecordedPoints.Full()) {
        com232::ProgramLink().AcquisitionRunning = 0; // recording stops after this frame
    }
    live::RequestDisplay(live::kShowTeachGraph);
}

void SetCursorTP2(int graph) {
    if (graph < 0 || graph > 2) {
        return;
    }
    TeachGraphPanel& ui = Ui();
    const QPointF at = ui.graph[graph]->CursorPosition(0);
    const int index = FindRecordedPoint(RecordedPoints, graph, at.x(), at.y());
    if (index < 0) {
        // Nothing recorded: the displays stay, the cursor goes back.
        ui.graph[graph]->SetCursor(0, gCursorAt[graph].a, gCursorAt[graph].b);
        return;
    }
    const RecordedPoint& p = RecordedPoints.At(index);
    ShowPoint(p);
    PutCursors(p);
    gShownColour = p.colour;
    gNewPoint = false; // a pending refresh must not move the cursors off the selection
}

void InitGraphTP2Axes() {
    const auto mode = params::Model().CalculationMode();
    const bool siM = params::IsSiM(mode);
    // X and Y (s and i) run 0..1000; INT 0..4096, M 0..1200.
    const double colourHi = 1000;
    const double intensityHi = siM ? 1200 : 4096;
    ctl::Graph* const* g = Ui().graph;
    // Each view is titled with the two values it plots, as its caption is.
    const char* const names[3] = {siM ? "s" : "X", siM ? "i" : "Y", siM ? "M" : "INT"};
    const int plotted[3][2] = {{0, 1}, {0, 2}, {1, 2}}; // X/Y, X/INT, Y/INT
    for (int v = 0; v < 3; ++v) {
        g[v]->xAxis->setLabel(names[plotted[v][0]]);
        g[v]->yAxis->setLabel(names[plotted[v][1]]);
    }
    g[kViewXY]->SetXRange(0, colourHi);
    g[kViewXY]->SetYRange(0, colourHi);
    g[kViewXInt]->SetXRange(0, colourHi);
    g[kViewXInt]->SetYRange(0, intensityHi);
    g[kViewYInt]->SetXRange(0, colourHi);
    g[kViewYInt]->SetYRange(0, intensityHi);
    if (RecordCount() == 0) {
        // Nothing to point at yet: the cursors wait in the middle of the views.
        for (int v = 0; v < 3; ++v) {
            gCursorAt[v] = {g[v]->xAxis->range().center(), g[v]->yAxis->range().center()};
            g[v]->SetCursor(0, gCursorAt[v].a, gCursorAt[v].b);
        }
    }
}

bool GraphTeachRunning() {
    return gRecording;
}

void ResetGraphTeachState() {
    RecordedPoints.Clear();
    gRecording = false;
    gShownColour.reset();
    gNewPoint = false;
    for (Projection& c : gCursorAt) {
        c = {};
    }
    if (shell::Shell().PanelsLoaded()) {
        for (ctl::Graph* g : Ui().graph) {
            g->DeleteAllPlots();
        }
        Ui().counter->SetVal(0);
    }
}

void InstallGraphTeachDisplays() {
    for (int v = 0; v < 3; ++v) {
        ctl::Graph* g = Ui().graph[v];
        if (g->CursorCount() == 0) {
            g->AddCursor(kCursorColour);
        }
        gCursorAt[v] = {g->CursorPosition(0).x(), g->CursorPosition(0).y()};
        g->SetCursorsMovable(true);
        g->SetCursorSnap(true); // a released cursor sits on a recorded point
    }
    live::SetDisplayWriter(live::kShowTeachGraph, WriteTeachGraph);
}

int CBF_ButtonTeachRecVal(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        shell::Shell().ShowChild(shell::Child::TeachGraph);
        InitTeachPanel(); // labels and axes of the views
    }
    return 0;
}

int CBF_ButtonTP2Start(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || gRecording || live::GoRunning() || MeanPanelLoopRunning() ||
        com232::ProgramLink().ExchangeRunning()) {
        return 0; // a loop is running already; a second must not start inside it
    }
    if (RecordedPoints.Full()) {
        platform::MessagePopup(ctl::kInfoTitle, "60000 values are recorded. \nPress RESET to "
                                                "record new values.");
        return 0;
    }
    gRecording = true;
    shell::Shell().SetButtonsDimmed(0, 1);
    live::InitGraphs();
    GetDataTP2();
    // The panel ends on the last point recorded, however the loop ended.
    live::RequestDisplay(live::kShowTeachGraph);
    live::FlushDisplays();
    if (shell::Shell().PanelsLoaded()) {
        shell::Shell().SetButtonsDimmed(0, 0);
    }
    gRecording = false;
    return 0;
}

int CBF_ButtonTP2Reset(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit ||
        platform::ConfirmPopup("ATTENTION!", "Do you really want to reset the table?") != 1) {
        return 0;
    }
    for (ctl::Graph* g : Ui().graph) {
        g->DeleteAllPlots();
    }
    RecordedPoints.Clear();
    gNewPoint = false;
    Ui().counter->SetVal(0);
    return 0;
}

int CBF_ButtonTP2Teach(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit) {
        return 0;
    }
    // The point last shown in the displays is the one taught.
    TeachGraphPanel& ui = Ui();
    live::LiveDataFrameBytes& f = live::LiveDataFrame;
    f.set(live::kX, static_cast<int16_t>(ui.cursorValue[0]->Val()));
    f.set(live::kY, static_cast<int16_t>(ui.cursorValue[1]->Val()));
    f.set(live::kInt, static_cast<int16_t>(ui.cursorValue[2]->Val()));
    if (gShownColour) {
        live::CurrentColour = *gShownColour;
    }
    TeachDataTo();
    live::InitGraphs();
    return 0;
}

int CBF_GraphXYTP2(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        SetCursorTP2(kViewXY);
    }
    return 0;
}

int CBF_GraphXIntTP2(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        SetCursorTP2(kViewXInt);
    }
    return 0;
}

int CBF_GraphYIntTP2(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        SetCursorTP2(kViewYInt);
    }
    return 0;
}

int CBF_DispTP2Counter(QWidget*, ctl::Event) {
    return 0;
}

int CBF_TEACHP2(QWidget*, ctl::Event) {
    return 0;
}

} // namespace teach
