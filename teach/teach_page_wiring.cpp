// The teach table page's view made: the page bound to the parameter model,
// then each control given its help text (right click) and its action. The
// grid has no help of its own on a right click (that opens its context
// menu); the menu's "Help" entry shows the grid help instead.
#include "teach/teach_edit.h"

#include "params/parameter_model.h"
#include "platform/widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>

namespace teach {

const char* const kGridHelpText =
    "Change cell value with a left double click or with F2. \n\n"
    "Select a range of cells by holding down the left mouse button and dragging the mouse "
    "over the cells to select. \n\n"
    "Set selection to: Set the selection to an adjustable value. \n"
    "Increment selection with: Selected cells will be incremented with an adjustable value "
    "beginning with the first cell. \n"
    "Reset selection: Reset the selected range.\n"
    "Teach tolerance off: Tolerance will not be changed. \n"
    "Teach tolerance on: Tolerance will be set automatically to a default value.";

namespace {

constexpr int kColourColumn = 6;

// A control's callback: the view's member of that name.
ctl::Callback Call(TeachPageView* view, int (TeachPageView::*member)(QWidget*, ctl::Event)) {
    return [view, member](QWidget* w, ctl::Event e) { (view->*member)(w, e); };
}

} // namespace

TeachPageView::TeachPageView(TeachPanels& panels, live::DataPanel& data,
                             params::ParameterModel& model, live::FrameStream& frames,
                             const live::LiveViewHooks& hooks)
    : panels_(panels), page_(panels.teachPage), data_(data), model_(model), frames_(frames),
      hooks_(hooks) {
    BindToModel();
    Wire();
}

// ---- the page as a view of the model ----------------------------------------------

void TeachPageView::ShowCell(int r, params::TeachField f) {
    if (f < kValueColumns) {
        page_.grid->SetVal(r + 1, f + 1, model_.Cell(r, f));
    }
}

void TeachPageView::ShowTable() {
    for (int r = 0; r < params::kTeachRows; ++r) {
        for (int c = 0; c < kValueColumns; ++c) {
            ShowCell(r, static_cast<params::TeachField>(c));
        }
    }
}

void TeachPageView::ShowSelection() {
    if (page_.rowNo->value() != model_.TeachRowNo()) {
        page_.rowNo->SetVal(model_.TeachRowNo());
    }
    const bool off = model_.TeachTolOff() == 1;
    page_.menuTolOff->setEnabled(!off);
    page_.menuTolOn->setEnabled(off);
}

// Row r's colour in the grid (r = -1: every row).
void TeachPageView::ShowRowColours(int row) {
    const int first = row < 0 ? 0 : row;
    const int last = row < 0 ? params::kTeachRows - 1 : row;
    for (int r = first; r <= last; ++r) {
        page_.grid->SetCellBackground(r + 1, kColourColumn, model_.RowColour(r));
    }
}

void TeachPageView::StoreGridCell(int row, int col) {
    if (col >= 1 && col <= kValueColumns) {
        model_.SetCell(row - 1, static_cast<params::TeachField>(col - 1),
                       static_cast<uint16_t>(page_.grid->Val(row, col)));
    }
}

void TeachPageView::BindToModel() {
    subscriptions_ +=
        model_.cellChanged.Connect([this](int r, params::TeachField f) { ShowCell(r, f); });
    subscriptions_ += model_.replaced.Connect([this] { ShowTable(); });
    subscriptions_ += model_.teachSelectionChanged.Connect([this] { ShowSelection(); });
    subscriptions_ += model_.rowAttributesChanged.Connect([this](int row) { ShowRowColours(row); });
    // A program write to a cell reaches the model too (a user edit: Wire).
    QObject::connect(
        page_.grid, &QTableWidget::itemChanged, &connections_,
        [this](QTableWidgetItem* item) { StoreGridCell(item->row() + 1, item->column() + 1); });
    QObject::connect(page_.rowNo, &QSpinBox::valueChanged, &connections_,
                     [this](int v) { model_.SetTeachRowNo(static_cast<uint16_t>(v)); });
    // The grid's start values become the model's; the row colours show.
    for (int r = 1; r <= params::kTeachRows; ++r) {
        for (int c = 1; c <= kValueColumns; ++c) {
            StoreGridCell(r, c);
        }
    }
    model_.SetTeachRowNo(static_cast<uint16_t>(page_.rowNo->value()));
    ShowRowColours(-1);
}

// ---- help texts and actions ------------------------------------------------------

void TeachPageView::Wire() {
    TeachPage& t = page_;
    ctl::Bind(t.rowNo, "Select the current number of a row in the TEACH TABLE for TEACH DATA TO.",
              Call(this, &TeachPageView::CBF_EditNo));
    ctl::Bind(t.autoIncrement,
              "Auto increment of Edit Field No.:", Call(this, &TeachPageView::CBF_RadioInc));
    ctl::Bind(t.resetTable, "Reset the TEACH TABLE. \nAll cells are set to 1.",
              Call(this, &TeachPageView::CBF_ButtonResetTable));
    ctl::Bind(t.teachDataTo,
              "Current measured values (X,Y,INT respectively s,i,M) are assigned \n"
              "to the TEACH TABLE row selected in the No.: function field.",
              Call(this, &TeachPageView::CBF_ButtonTeachDataTo));
    // The grid has no help of its own on a right click: that opens its menu.
    // A user edit reaches the model before the grid's callback sees it.
    ctl::Bind(t.grid, nullptr, {});
    QObject::connect(t.grid, &ctl::U16Table::cellEdited, &connections_, [this](int row, int col) {
        StoreGridCell(row, col);
        CBF_GridCtt(page_.grid, ctl::Event::ValueChanged);
    });
    const std::pair<QAction*, void (TeachPageView::*)()> entries[] = {
        {t.menuHelp, &TeachPageView::CBF_GridCttHelp},
        {t.menuSetSelection, &TeachPageView::CBF_GridCttSetSelectionTo},
        {t.menuIncrementSelection, &TeachPageView::CBF_GridCttIncrementSelectionWith},
        {t.menuResetSelection, &TeachPageView::CBF_GridCttResetSelection},
        {t.menuTolOff, &TeachPageView::CBF_GridCttTeachTolOff},
        {t.menuTolOn, &TeachPageView::CBF_GridCttTeachTolOn}};
    for (const auto& [action, handler] : entries) {
        if (action != nullptr) {
            QObject::connect(action, &QAction::triggered, &connections_,
                             [this, handler = handler] { (this->*handler)(); });
        }
    }
}

} // namespace teach
