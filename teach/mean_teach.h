// The mean-value teach panel: captures up to 100 frames of one colour,
// shows their means and scatter, and teaches the mean into a teach row with
// tolerances from the scatter, fixed values, both, or the row's own.
// The panel's tables hold the captured frames; nothing else keeps a copy.
#pragma once

#include "live/live_parts.h"

#include "platform/controls.h"
#include "teach/mean_stats.h"
#include "teach/teach_state.h"
#include "teach/teach_ui.h"

#include <functional>

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

// CLOSE of both assistant panels: ends any polling loop on `link` and
// shows the data panel again.
void CloseTeachPanel(com232::SensorLink& link);

class MeanTeachView {
public:
    // `initTeachPanel` labels the teach panels for the modes (opening the
    // panel runs it).
    MeanTeachView(TeachPanels& panels, TeachState& state, const live::LiveParts& parts,
                  live::DisplayRefresh& refresh, const live::LiveViewHooks& hooks,
                  std::function<void()> initTeachPanel);
    MeanTeachView(const MeanTeachView&) = delete;
    MeanTeachView& operator=(const MeanTeachView&) = delete;

    void CaptureFrame();
    void UndoCapture();
    void CalcMeanValues();
    void CalcMaxDelta();
    void ResetTeachMeanPanelTable();
    void TeachToTable();

    // True while the live loop that opening the panel started is running.
    bool MeanPanelLoopRunning() const { return state_.meanLoopRunning; }

    int CBF_ButtonTeachMeanVal(QWidget*, ctl::Event);
    int CBF_ButtonTP1Capture(QWidget*, ctl::Event);
    int CBF_ButtonTP1Undo(QWidget*, ctl::Event);
    int CBF_ButtonTP1ResetTable(QWidget*, ctl::Event);
    int CBF_ButtonTP1Teach(QWidget*, ctl::Event);
    int CBF_GridTP1Values(QWidget*, ctl::Event);
    int CBF_GridTP1Mean(QWidget*, ctl::Event);
    int CBF_DispTP1Counter(QWidget*, ctl::Event);
    int CBF_DispTP1MaxDeltaXY(QWidget*, ctl::Event);
    int CBF_DispTP1MaxDeltaInt(QWidget*, ctl::Event);
    int CBF_EditTP1TeachCtoWith(QWidget*, ctl::Event);
    int CBF_EditTP1TeachItoWith(QWidget*, ctl::Event);
    int CBF_EditTP1ValueCto(QWidget*, ctl::Event);
    int CBF_EditTP1ValueIto(QWidget*, ctl::Event);
    int CBF_ButtonCloseTeachPanel(QWidget*, ctl::Event);
    int CBF_TEACHP1(QWidget*, ctl::Event);

private:
    void Wire();
    int CapturedCount() const;
    void ReadFrames(int n, CapturedFrame* frames) const;
    void ShowMaxDeltas(int32_t colour, int32_t intensity);

    TeachPanels& panels_;
    TeachMeanPanel& ui_;
    TeachState& state_;
    live::LiveParts parts_;
    com232::SensorLink& link_;
    params::ParameterModel& model_;
    live::FrameStream& frames_;
    live::DisplayRefresh& refresh_;
    live::LiveViewHooks hooks_;
    std::function<void()> initTeachPanel_;
};

} // namespace teach
