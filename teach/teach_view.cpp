#include "teach/teach_view.h"

#include "params/parameter_model.h"
#include "platform/controls.h"
#include "platform/widgets.h"
#include "teach/teach_ui.h"

#include <QAction>
#include <QVariant>

namespace teach {
namespace {

constexpr int kValueColumns = 5;
constexpr int kColourColumn = 6;
constexpr int kTextColumn = 1;
constexpr int kSwatchColumn = 2;

params::ParameterModel& M() {
    return params::Model();
}

bool PageBuilt() {
    return Panels().teachPage.grid != nullptr;
}

bool AttributesBuilt() {
    return Panels().attributes.table != nullptr;
}

void ShowCell(int r, params::TeachField f) {
    if (f < kValueColumns) {
        Panels().teachPage.grid->SetVal(r + 1, f + 1, M().Cell(r, f));
    }
}

void ShowTable() {
    for (int r = 0; r < params::kTeachRows; ++r) {
        for (int c = 0; c < kValueColumns; ++c) {
            ShowCell(r, static_cast<params::TeachField>(c));
        }
    }
}

void ShowSelection() {
    TeachPage& t = Panels().teachPage;
    if (t.rowNo->value() != M().TeachRowNo()) {
        t.rowNo->SetVal(M().TeachRowNo());
    }
    const bool off = M().TeachTolOff() == 1;
    t.menuTolOff->setEnabled(!off);
    t.menuTolOn->setEnabled(off);
}

// Row r's colour and text (r = -1: every row).
void ShowRowAttributes(int row) {
    const int first = row < 0 ? 0 : row;
    const int last = row < 0 ? params::kTeachRows - 1 : row;
    for (int r = first; r <= last; ++r) {
        if (PageBuilt()) {
            Panels().teachPage.grid->SetCellBackground(r + 1, kColourColumn, M().RowColour(r));
        }
        if (AttributesBuilt()) {
            ctl::U16Table* table = Panels().attributes.table;
            table->SetCellBackground(r + 1, kSwatchColumn, M().RowColour(r));
            const QString text = QString::fromStdString(M().RowText(r));
            if (table->Text(r + 1, kTextColumn) != text) {
                table->SetText(r + 1, kTextColumn, text);
            }
        }
    }
}

void StoreGridCell(int row, int col) {
    if (col >= 1 && col <= kValueColumns) {
        M().SetCell(row - 1, static_cast<params::TeachField>(col - 1),
                    static_cast<uint16_t>(Panels().teachPage.grid->Val(row, col)));
    }
}

void SubscribeOnce() {
    static bool subscribed = false;
    if (subscribed) {
        return;
    }
    subscribed = true;
    params::ParameterModel& m = M();
    m.cellChanged.Subscribe([](int r, params::TeachField f) {
        if (PageBuilt()) {
            ShowCell(r, f);
        }
    });
    m.replaced.Subscribe([] {
        if (PageBuilt()) {
            ShowTable();
        }
    });
    m.teachSelectionChanged.Subscribe([] {
        if (PageBuilt()) {
            ShowSelection();
        }
    });
    m.rowAttributesChanged.Subscribe([](int row) { ShowRowAttributes(row); });
}

} // namespace

void BindTeachPage() {
    if (!PageBuilt()) {
        return;
    }
    SubscribeOnce();
    TeachPage& t = Panels().teachPage;
    if (!ctl::FirstModelBinding(t.grid)) {
        return;
    }
    // A user edit reaches the model before the grid's callback sees it; a
    // program write to a cell reaches it too.
    QObject::connect(t.grid, &ctl::U16Table::cellEdited, t.grid, StoreGridCell);
    QObject::connect(t.grid, &QTableWidget::itemChanged, t.grid, [](QTableWidgetItem* item) {
        StoreGridCell(item->row() + 1, item->column() + 1);
    });
    QObject::connect(t.rowNo, &QSpinBox::valueChanged, t.rowNo,
                     [](int v) { M().SetTeachRowNo(static_cast<uint16_t>(v)); });
    // The grid's start values become the model's; the row colours show.
    for (int r = 1; r <= params::kTeachRows; ++r) {
        for (int c = 1; c <= kValueColumns; ++c) {
            StoreGridCell(r, c);
        }
    }
    M().SetTeachRowNo(static_cast<uint16_t>(t.rowNo->value()));
    ShowRowAttributes(-1);
}

void BindAttributesPage() {
    if (!AttributesBuilt()) {
        return;
    }
    SubscribeOnce();
    ctl::U16Table* table = Panels().attributes.table;
    if (!ctl::FirstModelBinding(table)) {
        return;
    }
    QObject::connect(table, &QTableWidget::itemChanged, table, [table](QTableWidgetItem* item) {
        if (item->column() + 1 == kTextColumn) {
            M().SetRowText(item->row(), table->Text(item->row() + 1, kTextColumn).toStdString());
        }
    });
    ShowRowAttributes(-1);
}

} // namespace teach
