// The graph teach panel: records measurements while material moves past
// the sensor, plots each into three side views (X/Y, X/INT, Y/INT or s/i,
// s/M, i/M), lets the operator pick one recorded point with a cursor and
// teaches it like TEACH DATA TO.
#pragma once

#include "live/live_parts.h"

#include "platform/controls.h"
#include "teach/recorded_points.h"
#include "teach/teach_state.h"
#include "teach/teach_ui.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <optional>

namespace com232 {
class SensorLink;
}
namespace live {
class DisplayRefresh;
class FrameStream;
} // namespace live
namespace params {
class ParameterModel;
}

namespace teach {

class PointCloud;

class GraphTeachView {
public:
    // `initTeachPanel` labels the teach panels for the modes (opening the
    // panel runs it). Puts the cursors into the three views and installs the
    // panel's screen-rate display.
    GraphTeachView(TeachPanels& panels, TeachState& state, const live::LiveParts& parts,
                   live::DisplayRefresh& refresh, const live::LiveViewHooks& hooks,
                   std::function<void()> initTeachPanel);
    ~GraphTeachView();
    GraphTeachView(const GraphTeachView&) = delete;
    GraphTeachView& operator=(const GraphTeachView&) = delete;

    // Number of recorded points (the panel's counter shows it).
    int RecordCount() const { return state_.RecordedPoints.Count(); }

    // The recording loop: order 8 until AcquisitionRunning is cleared (STOP,
    // CLOSE, a link failure, or the buffer full).
    void GetDataTP2();
    // Stores and plots the current frame; the displays, cursors and graphs
    // follow at screen rate.
    void SetTP2Data();
    // Selects the recorded point under cursor 1 of graph 0 (X/Y), 1 (X/INT)
    // or 2 (Y/INT) and moves the cursors of all three views onto it.
    void SetCursorTP2(int graph);
    // Axis ranges and titles of the three views for the calculation mode
    // (InitTeachPanel keeps them with the mode).
    void InitGraphTP2Axes();
    // What RESET does once confirmed: no points, empty views, counter 0.
    void ResetRecordedPoints();

    // True while the START callback runs.
    bool GraphTeachRunning() const { return state_.recording; }

    int CBF_ButtonTeachRecVal(QWidget*, ctl::Event);
    int CBF_ButtonTP2Start(QWidget*, ctl::Event);
    int CBF_ButtonTP2Reset(QWidget*, ctl::Event);
    int CBF_ButtonTP2Teach(QWidget*, ctl::Event);
    int CBF_GraphXYTP2(QWidget*, ctl::Event);
    int CBF_GraphXIntTP2(QWidget*, ctl::Event);
    int CBF_GraphYIntTP2(QWidget*, ctl::Event);
    int CBF_DispTP2Counter(QWidget*, ctl::Event);
    int CBF_ButtonCloseTeachPanel(QWidget*, ctl::Event);
    int CBF_TEACHP2(QWidget*, ctl::Event);

private:
    void Wire();
    void InstallDisplays();
    PointCloud* CloudOf(int view);
    void ShowPoint(const RecordedPoint& p);
    void PutCursors(const RecordedPoint& p);
    void WriteTeachGraph();

    TeachPanels& panels_;
    TeachGraphPanel& ui_;
    TeachState& state_;
    live::LiveParts parts_;
    com232::SensorLink& link_;
    params::ParameterModel& model_;
    live::FrameStream& frames_;
    live::DisplayRefresh& refresh_;
    live::LiveViewHooks hooks_;
    std::function<void()> initTeachPanel_;
    QPointer<PointCloud> cloud_[3];
    // Where cursor 1 of each view was put last (by a frame or a selection);
    // a commit that finds nothing to select puts the cursors back there.
    Projection cursorAt_[3];
    // The colour of the point the displays show, taught as the row colour
    // when row colours are set automatically.
    std::optional<uint32_t> shownColour_;
    // A point came since the displays were written last.
    bool newPoint_ = false;
    // The context of the view's Qt connections: they end with the view.
    QObject connections_;
};

} // namespace teach
