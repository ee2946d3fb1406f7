// The teach table page as a view of the parameter model: the grid's cells,
// the No. field, the tolerance entries of the grid's menu and the row
// colours show the model, and every edit goes into it at once. Editing:
// TEACH DATA TO from the data panel's values, the grid's context menu (set,
// increment or reset a selection; teach tolerance off/on), RESET of the
// whole table, and the refresh of the graphs after every edit of the grid.
#pragma once

#include "live/live_parts.h"

#include "params/parameter_layout.h"
#include "platform/controls.h"
#include "platform/notifier.h"
#include "teach/teach_logic.h"
#include "teach/teach_ui.h"

#include <QObject>

#include <cstdint>
#include <vector>

namespace live {
class FrameStream;
struct DataPanel;
} // namespace live
namespace params {
class ParameterModel;
}

namespace teach {

// Help text of the teach grid, shown by the "Help" entry of its context menu.
extern const char* const kGridHelpText;

// Writes the current measurement of `frames` into the teach table row the
// model's TeachRowNo selects, as the model's modes and tolerance switch
// decide; advances the row number when the page's auto increment is on and
// gives the row the measured colour when the attributes page sets row
// colours automatically.
void TeachDataTo(const TeachPanels& panels, params::ParameterModel& model,
                 const live::FrameStream& frames);

class TeachPageView {
public:
    // Binds the built page to the model (the grid's start values become the
    // model's) before any callback is bound, so that a callback finds its
    // edit in the model already.
    // `hooks` draw the window's graphs anew after an edit.
    TeachPageView(TeachPanels& panels, live::DataPanel& data, params::ParameterModel& model,
                  live::FrameStream& frames, const live::LiveViewHooks& hooks);
    TeachPageView(const TeachPageView&) = delete;
    TeachPageView& operator=(const TeachPageView&) = delete;

    void TeachDataTo();
    // Sets every value cell to 1 and the row number to 0, and clears the
    // shapes of the 2D and 3D graphs.
    void ResetTable();

    int CBF_GridCtt(QWidget*, ctl::Event);
    int CBF_EditNo(QWidget*, ctl::Event);
    int CBF_RadioInc(QWidget*, ctl::Event);
    int CBF_ButtonResetTable(QWidget*, ctl::Event);
    int CBF_ButtonTeachDataTo(QWidget*, ctl::Event);

    // Entries of the grid's context menu.
    void CBF_GridCttHelp();
    void CBF_GridCttSetSelectionTo();
    void CBF_GridCttIncrementSelectionWith();
    void CBF_GridCttResetSelection();
    void CBF_GridCttTeachTolOff();
    void CBF_GridCttTeachTolOn();

private:
    void BindToModel();
    void Wire();
    void ShowCell(int r, params::TeachField f);
    void ShowTable();
    void ShowSelection();
    void ShowRowColours(int row);
    void StoreGridCell(int row, int col);
    Selection GridSelection() const;
    void ApplyWrites(const std::vector<CellWrite>& writes);

    TeachPanels& panels_;
    TeachPage& page_;
    live::DataPanel& data_;
    params::ParameterModel& model_;
    live::FrameStream& frames_;
    live::LiveViewHooks hooks_;
    platform::Subscriptions subscriptions_;
    // The context of the view's Qt connections: they end with the view.
    QObject connections_;
};

} // namespace teach
