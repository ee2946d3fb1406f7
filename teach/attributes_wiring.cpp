// The table-attributes page's view made: the attribute table bound to the
// parameter model, then each control given its help text (right click,
// popup title "Info") and its action.
#include "teach/attributes.h"

#include "params/parameter_model.h"
#include "platform/widgets.h"

#include <QPushButton>

namespace teach {
namespace {

constexpr int kTextColumn = 1;
constexpr int kSwatchColumn = 2;

// A control's callback: the view's member of that name.
ctl::Callback Call(AttributesView* view, int (AttributesView::*member)(QWidget*, ctl::Event)) {
    return [view, member](QWidget* w, ctl::Event e) { (view->*member)(w, e); };
}

} // namespace

AttributesView::AttributesView(AttributesPage& page, live::DataPanel& data,
                               params::ParameterModel& model, std::function<void()> initGraphs)
    : page_(page), data_(data), model_(model), initGraphs_(std::move(initGraphs)) {
    BindToModel();
    Wire();
}

// Row r's colour and text (r = -1: every row).
void AttributesView::ShowRowAttributes(int row) {
    const int first = row < 0 ? 0 : row;
    const int last = row < 0 ? params::kTeachRows - 1 : row;
    ctl::U16Table* table = page_.table;
    for (int r = first; r <= last; ++r) {
        table->SetCellBackground(r + 1, kSwatchColumn, model_.RowColour(r));
        const QString text = QString::fromStdString(model_.RowText(r));
        if (table->Text(r + 1, kTextColumn) != text) {
            table->SetText(r + 1, kTextColumn, text);
        }
    }
}

void AttributesView::BindToModel() {
    subscriptions_ +=
        model_.rowAttributesChanged.Connect([this](int row) { ShowRowAttributes(row); });
    ctl::U16Table* table = page_.table;
    QObject::connect(
        table, &QTableWidget::itemChanged, &connections_, [this, table](QTableWidgetItem* item) {
            if (item->column() + 1 == kTextColumn) {
                model_.SetRowText(item->row(),
                                  table->Text(item->row() + 1, kTextColumn).toStdString());
            }
        });
    ShowRowAttributes(-1);
}

void AttributesView::Wire() {
    const char* title = ctl::kAttrInfoTitle;
    ctl::Bind(page_.colorMode,
              "Set mode for the row indicator colors. \n\nManually: Indicator colors can be set "
              "manually. \n\nAutomatically: Indicator colors will be set automatically, "
              "\naccording to the color detected from the sensor.",
              Call(this, &AttributesView::CBF_EditSetColor), title);
    ctl::Bind(page_.row, "Select a row, which should be set.",
              Call(this, &AttributesView::CBF_EditRow), title);
    ctl::Bind(page_.color, "Select a indicator color.",
              Call(this, &AttributesView::CBF_EditColorNumericRow), title);
    ctl::Bind(page_.setColor, "Assign selected color to row.",
              Call(this, &AttributesView::CBF_ButtonSetRowColor), title);
    ctl::Bind(page_.save,
              "Indicator colors and row specifications \nwill be saved to a selectable file. "
              "\nAttention! The table attributes will be stored \nat the hard disk and NOT in the "
              "sensor.",
              Call(this, &AttributesView::CBF_ButtonSaveArray), title);
    ctl::Bind(page_.load,
              "Indicator colors and row specifications will be \nread from a selectable file from "
              "the hard disk \nand assigned to the teach table and specification table.",
              Call(this, &AttributesView::CBF_ButtonGetArray), title);
    ctl::Bind(page_.reset, "Set default row colors.",
              Call(this, &AttributesView::CBF_ButtonTableAttrReset), title);
    // Every help popup of this page carries the page's own title.
    ctl::Bind(page_.temp, "Displays actual temperature in the sensor.", {}, title);
}

} // namespace teach
