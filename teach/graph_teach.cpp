#include "teach/graph_teach.h"

#include "link/com232.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
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

#include <cmath>

namespace teach {
namespace {

constexpr QRgb kPointColour = 0xFF0000;
constexpr ctl::Rgb kCursorColour = 0x000000;

// A control's callback: the view's member of that name.
ctl::Callback Call(GraphTeachView* view, int (GraphTeachView::*member)(QWidget*, ctl::Event)) {
    return [view, member](QWidget* w, ctl::Event e) { (view->*member)(w, e); };
}

} // namespace

GraphTeachView::GraphTeachView(TeachPanels& panels, TeachState& state, const live::LiveParts& parts,
                               live::DisplayRefresh& refresh, const live::LiveViewHooks& hooks,
                               std::function<void()> initTeachPanel)
    : panels_(panels), ui_(panels.teachGraph), state_(state), parts_(parts), link_(parts.link),
      model_(parts.model), frames_(parts.frames), refresh_(refresh), hooks_(hooks),
      initTeachPanel_(std::move(initTeachPanel)) {
    Wire();
    InstallDisplays();
}

GraphTeachView::~GraphTeachView() {
    refresh_.SetWriter(live::kShowTeachGraph, {});
}

void GraphTeachView::Wire() {
    ctl::Bind(panels_.teachPage.teachRecordedValues,
              "Opens a panel to teach, with help \nfrom a graph, recorded values. ",
              Call(this, &GraphTeachView::CBF_ButtonTeachRecVal));
    ctl::Bind(ui_.start, "Start recording of values \nand displaying in the graphs.",
              Call(this, &GraphTeachView::CBF_ButtonTP2Start));
    ctl::Bind(ui_.reset, "Reset graphs and counter.",
              Call(this, &GraphTeachView::CBF_ButtonTP2Reset));
    ctl::Bind(ui_.teach,
              "Teach cursor position to the \nTEACH TABLE row selected \nin the ROW No.: function "
              "field.",
              Call(this, &GraphTeachView::CBF_ButtonTP2Teach));
    int (GraphTeachView::*const graphCallbacks[3])(QWidget*, ctl::Event) = {
        &GraphTeachView::CBF_GraphXYTP2, &GraphTeachView::CBF_GraphXIntTP2,
        &GraphTeachView::CBF_GraphYIntTP2};
    for (int v = 0; v < 3; ++v) {
        ctl::Graph* g = ui_.graph[v];
        ctl::Bind(g,
                  "Display for recorded values. \nMove cursor to select a position \nwhich should "
                  "be teached to the table.",
                  Call(this, graphCallbacks[v]));
        // Releasing a view's cursor commits the view.
        QObject::connect(g, &ctl::Graph::cursorReleased, &connections_,
                         [this, g, callback = graphCallbacks[v]](int) {
                             (this->*callback)(g, ctl::Event::Commit);
                         });
    }
    ctl::Bind(ui_.counter, "Displays the amount of recorded values. ",
              Call(this, &GraphTeachView::CBF_DispTP2Counter));
    ctl::Bind(ui_.close, "Close PANEL and return to MAIN PANEL. ",
              Call(this, &GraphTeachView::CBF_ButtonCloseTeachPanel));
}

// Cursors of the three views and the panel's screen-rate display.
void GraphTeachView::InstallDisplays() {
    for (int v = 0; v < 3; ++v) {
        ctl::Graph* g = ui_.graph[v];
        if (g->CursorCount() == 0) {
            g->AddCursor(kCursorColour);
        }
        cursorAt_[v] = {g->CursorPosition(0).x(), g->CursorPosition(0).y()};
        g->SetCursorsMovable(true);
        g->SetCursorSnap(true); // a released cursor sits on a recorded point
    }
    refresh_.SetWriter(live::kShowTeachGraph, [this] { WriteTeachGraph(); });
}

PointCloud* GraphTeachView::CloudOf(int view) {
    ctl::Graph* g = ui_.graph[view];
    if (cloud_[view].isNull() || !g->hasPlottable(cloud_[view].data())) {
        cloud_[view] = new PointCloud(g->xAxis, g->yAxis, kPointColour);
    }
    return cloud_[view].data();
}

void GraphTeachView::ShowPoint(const RecordedPoint& p) {
    ui_.cursorValue[0]->SetVal(std::trunc(p.x));
    ui_.cursorValue[1]->SetVal(std::trunc(p.y));
    ui_.cursorValue[2]->SetVal(std::trunc(p.intensity));
}

void GraphTeachView::PutCursors(const RecordedPoint& p) {
    for (int v = 0; v < 3; ++v) {
        cursorAt_[v] = ProjectionOf(p, v);
        ui_.graph[v]->SetCursor(0, cursorAt_[v].a, cursorAt_[v].b);
    }
}

// The screen-rate display of a recording: the newest point in the value
// displays and under the cursors, the counter, and one replot of each view.
void GraphTeachView::WriteTeachGraph() {
    if (!shell::Shell().PanelsLoaded()) {
        return;
    }
    ui_.counter->SetVal(RecordCount());
    if (newPoint_ && RecordCount() > 0) {
        newPoint_ = false;
        const RecordedPoint& p = state_.RecordedPoints.At(RecordCount() - 1);
        ShowPoint(p);
        PutCursors(p);
    }
    for (ctl::Graph* g : ui_.graph) {
        g->MarkDirty();
    }
}

void GraphTeachView::GetDataTP2() {
    auto& AcquisitionRunning = link_.AcquisitionRunning;
    AcquisitionRunning = 1;
    while (AcquisitionRunning == 1) {
        link_.FillTxBuf(com232::kOrderLiveData, 0, 0);
        if (link_.DataExchange(static_cast<int>(com232::kHeaderSize)) == 1) {
            frames_.CurrentForEdit() = live::FrameFromAnswer(link_);
            SetTP2Data();
        }
    }
}

void GraphTeachView::SetTP2Data() {
    const live::LiveDataFrameBytes& f = frames_.Current();
    RecordedPoint p;
    p.x = f.get(live::kX);
    p.y = f.get(live::kY);
    p.intensity = f.get(live::kInt);
    p.colour = live::ColourOfRgb(f.get(live::kRed), f.get(live::kGreen), f.get(live::kBlue));
    if (!state_.RecordedPoints.Append(p)) {
        link_.AcquisitionRunning = 0; // full: nothing more is stored
        return;
    }
    for (int v = 0; v < 3; ++v) {
        const Projection pr = ProjectionOf(p, v);
        CloudOf(v)->AddPoint(pr.a, pr.b);
    }
    shownColour_ = p.colour;
    newPoint_ = true;
    if (state_.RecordedPoints.Full()) {
        link_.AcquisitionRunning = 0; // recording stops after this frame
    }
    refresh_.Request(live::kShowTeachGraph);
}

void GraphTeachView::SetCursorTP2(int graph) {
    if (graph < 0 || graph > 2) {
        return;
    }
    TeachGraphPanel& ui = ui_;
    const QPointF at = ui.graph[graph]->CursorPosition(0);
    const int index = FindRecordedPoint(state_.RecordedPoints, graph, at.x(), at.y());
    if (index < 0) {
        // Nothing recorded: the displays stay, the cursor goes back.
        ui.graph[graph]->SetCursor(0, cursorAt_[graph].a, cursorAt_[graph].b);
        return;
    }
    const RecordedPoint& p = state_.RecordedPoints.At(index);
    ShowPoint(p);
    PutCursors(p);
    shownColour_ = p.colour;
    newPoint_ = false; // a pending refresh must not move the cursors off the selection
}

void GraphTeachView::InitGraphTP2Axes() {
    const auto mode = model_.CalculationMode();
    const bool siM = params::IsSiM(mode);
    // X and Y (s and i) run 0..1000; INT 0..4096, M 0..1200.
    const double colourHi = 1000;
    const double intensityHi = siM ? 1200 : 4096;
    ctl::Graph* const* g = ui_.graph;
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
            cursorAt_[v] = {g[v]->xAxis->range().center(), g[v]->yAxis->range().center()};
            g[v]->SetCursor(0, cursorAt_[v].a, cursorAt_[v].b);
        }
    }
}

void GraphTeachView::ResetRecordedPoints() {
    for (ctl::Graph* g : ui_.graph) {
        g->DeleteAllPlots();
    }
    state_.RecordedPoints.Clear();
    newPoint_ = false;
    ui_.counter->SetVal(0);
}

int GraphTeachView::CBF_ButtonTeachRecVal(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        shell::Shell().ShowChild(shell::Child::TeachGraph);
        initTeachPanel_(); // labels and axes of the views
    }
    return 0;
}

int GraphTeachView::CBF_ButtonTP2Start(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || state_.recording || parts_.live.GoRunning ||
        state_.meanLoopRunning || link_.ExchangeRunning()) {
        return 0; // a loop is running already; a second must not start inside it
    }
    if (state_.RecordedPoints.Full()) {
        platform::MessagePopup(ctl::kInfoTitle, "60000 values are recorded. \nPress RESET to "
                                                "record new values.");
        return 0;
    }
    state_.recording = true;
    shell::Shell().SetButtonsDimmed(0, 1);
    hooks_.initGraphs();
    GetDataTP2();
    // The panel ends on the last point recorded, however the loop ended.
    refresh_.Request(live::kShowTeachGraph);
    refresh_.Flush();
    if (shell::Shell().PanelsLoaded()) {
        shell::Shell().SetButtonsDimmed(0, 0);
    }
    state_.recording = false;
    return 0;
}

int GraphTeachView::CBF_ButtonTP2Reset(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit ||
        platform::ConfirmPopup("ATTENTION!", "Do you really want to reset the table?") != 1) {
        return 0;
    }
    ResetRecordedPoints();
    return 0;
}

int GraphTeachView::CBF_ButtonTP2Teach(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit) {
        return 0;
    }
    // The point last shown in the displays is the one taught.
    TeachGraphPanel& ui = ui_;
    live::LiveDataFrameBytes& f = frames_.CurrentForEdit();
    f.set(live::kX, static_cast<int16_t>(ui.cursorValue[0]->Val()));
    f.set(live::kY, static_cast<int16_t>(ui.cursorValue[1]->Val()));
    f.set(live::kInt, static_cast<int16_t>(ui.cursorValue[2]->Val()));
    if (shownColour_) {
        frames_.ColourForEdit() = *shownColour_;
    }
    TeachDataTo(panels_, model_, frames_);
    hooks_.initGraphs();
    return 0;
}

int GraphTeachView::CBF_GraphXYTP2(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        SetCursorTP2(kViewXY);
    }
    return 0;
}

int GraphTeachView::CBF_GraphXIntTP2(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        SetCursorTP2(kViewXInt);
    }
    return 0;
}

int GraphTeachView::CBF_GraphYIntTP2(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        SetCursorTP2(kViewYInt);
    }
    return 0;
}

int GraphTeachView::CBF_DispTP2Counter(QWidget*, ctl::Event) {
    return 0;
}

int GraphTeachView::CBF_ButtonCloseTeachPanel(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        CloseTeachPanel(link_);
    }
    return 0;
}

int GraphTeachView::CBF_TEACHP2(QWidget*, ctl::Event) {
    return 0;
}

} // namespace teach
