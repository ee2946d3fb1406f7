// The table control: unsigned 16-bit values edited in place with a spin box,
// colour cells and text cells.
#include "platform/widgets.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QSpinBox>
#include <QStyledItemDelegate>

#include <algorithm>
#include <vector>

namespace ctl {

// ---- U16Table ---------------------------------------------------------------

namespace {

// Edits value cells with a spin box limited to the table's value range.
class U16Delegate : public QStyledItemDelegate {
public:
    explicit U16Delegate(U16Table* table) : QStyledItemDelegate(table), table_(table) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        if (!table_->IsValueCell(index.row() + 1, index.column() + 1)) {
            return QStyledItemDelegate::createEditor(parent, option, index);
        }
        auto* spin = new QSpinBox(parent);
        spin->setRange(0, table_->ValueMaximum());
        spin->setFrame(false);
        spin->setButtonSymbols(QAbstractSpinBox::NoButtons);
        return spin;
    }

private:
    U16Table* table_;
};

} // namespace

U16Table::U16Table(int rows, const std::vector<ColumnKind>& columns, QWidget* parent,
                   int firstRowLabel)
    : QTableWidget(rows, static_cast<int>(columns.size()), parent), kinds_(columns) {
    setItemDelegate(new U16Delegate(this));
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    QStringList rowLabels;
    for (int r = 0; r < rows; ++r) {
        rowLabels << QString::number(firstRowLabel + r);
    }
    setVerticalHeaderLabels(rowLabels);
    settingFromCode_ = true;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            auto* item = new QTableWidgetItem();
            if (kinds_[c] == ColumnKind::Swatch) {
                item->setFlags(Qt::ItemIsEnabled);
                item->setBackground(Qt::white);
            } else if (kinds_[c] == ColumnKind::Value) {
                item->setData(Qt::EditRole, 0);
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            setItem(r, c, item);
        }
    }
    settingFromCode_ = false;
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!settingFromCode_) {
            emit cellEdited(item->row() + 1, item->column() + 1);
        }
    });
}

void U16Table::CommitEdit() {
    QWidget* editor = state() == EditingState ? indexWidget(currentIndex()) : nullptr;
    if (editor == nullptr) {
        return;
    }
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(editor)) {
        spin->interpretText();
    }
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool U16Table::IsValueCell(int row, int col) const {
    return row >= 1 && row <= rowCount() && col >= 1 && col <= columnCount() &&
           kinds_[col - 1] == ColumnKind::Value;
}

int U16Table::Val(int row, int col) const {
    if (!IsValueCell(row, col)) {
        return 0;
    }
    return item(row - 1, col - 1)->data(Qt::EditRole).toInt();
}

void U16Table::SetVal(int row, int col, int v) {
    if (!IsValueCell(row, col)) {
        return;
    }
    settingFromCode_ = true;
    item(row - 1, col - 1)->setData(Qt::EditRole, qBound(0, v, maximum_));
    settingFromCode_ = false;
}

QString U16Table::Text(int row, int col) const {
    if (row < 1 || row > rowCount() || col < 1 || col > columnCount()) {
        return {};
    }
    return item(row - 1, col - 1)->text();
}

void U16Table::SetText(int row, int col, const QString& s) {
    if (row < 1 || row > rowCount() || col < 1 || col > columnCount() ||
        kinds_[col - 1] != ColumnKind::Text) {
        return;
    }
    settingFromCode_ = true;
    item(row - 1, col - 1)->setText(s);
    settingFromCode_ = false;
}

void U16Table::SetCellBackground(int row, int col, Rgb c) {
    if (row < 1 || row > rowCount() || col < 1 || col > columnCount()) {
        return;
    }
    settingFromCode_ = true;
    item(row - 1, col - 1)->setBackground(ToQColor(c));
    settingFromCode_ = false;
}

Rgb U16Table::CellBackground(int row, int col) const {
    if (row < 1 || row > rowCount() || col < 1 || col > columnCount()) {
        return 0xFFFFFF;
    }
    const QBrush b = item(row - 1, col - 1)->background();
    return b.style() == Qt::NoBrush ? 0xFFFFFF : FromQColor(b.color());
}

void U16Table::SetRowLabelColor(int row, Rgb c) {
    if (row < 1 || row > rowCount()) {
        return;
    }
    QTableWidgetItem* h = verticalHeaderItem(row - 1);
    if (h == nullptr) {
        h = new QTableWidgetItem(QString::number(row));
        setVerticalHeaderItem(row - 1, h);
    }
    h->setForeground(ToQColor(c));
}

Rgb U16Table::RowLabelColor(int row) const {
    const QTableWidgetItem* h =
        row >= 1 && row <= rowCount() ? verticalHeaderItem(row - 1) : nullptr;
    if (h == nullptr || h->foreground().style() == Qt::NoBrush) {
        return 0x000000;
    }
    return FromQColor(h->foreground().color());
}

void U16Table::SetColumnHeading(int col, const QString& s) {
    if (col < 1 || col > columnCount()) {
        return;
    }
    QTableWidgetItem* h = horizontalHeaderItem(col - 1);
    if (h == nullptr) {
        setHorizontalHeaderItem(col - 1, new QTableWidgetItem(s));
    } else {
        h->setText(s);
    }
}

QString U16Table::ColumnHeading(int col) const {
    const QTableWidgetItem* h =
        col >= 1 && col <= columnCount() ? horizontalHeaderItem(col - 1) : nullptr;
    return h == nullptr ? QString() : h->text();
}

void U16Table::SetColumnShown(int col, bool shown) {
    if (col >= 1 && col <= columnCount()) {
        setColumnHidden(col - 1, !shown);
    }
}

bool U16Table::ColumnShown(int col) const {
    return col >= 1 && col <= columnCount() && !isColumnHidden(col - 1);
}

bool U16Table::Selection(int* top, int* left, int* height, int* width) const {
    const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
    if (ranges.isEmpty()) {
        return false;
    }
    const QTableWidgetSelectionRange& r = ranges.front();
    *top = r.topRow() + 1;
    *left = r.leftColumn() + 1;
    *height = r.rowCount();
    *width = r.columnCount();
    return true;
}

void U16Table::SetActiveCell(int row, int col) {
    if (row >= 1 && row <= rowCount() && col >= 1 && col <= columnCount()) {
        setCurrentCell(row - 1, col - 1);
        scrollToItem(item(row - 1, col - 1));
    }
}

} // namespace ctl
