// Layout of the table-attributes page: the row indicator colour controls,
// the file and reset buttons, the table of row descriptions and colours,
// and the sensor temperature.
#include "teach/teach_ui.h"

#include "platform/widgets.h"
#include "teach/attributes_file.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace teach {
namespace {

constexpr int kRows = 31;
constexpr int kFieldWidth = 52;

// Edits the row texts with a field that stops at the 99 characters the
// file's writer and reader keep (counted alike: Unicode code points).
class SpecDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            ctl::LimitChars(line, static_cast<int>(kMaxRowTextChars));
        }
        return editor;
    }
};

} // namespace

void BuildAttributesPage(QWidget* page, AttributesPage* ui) {
    auto* root = new QVBoxLayout(page);
    root->setContentsMargins(4, 4, 4, 4);
    root->setSpacing(4);

    auto* colours = new QGroupBox("ROW INDICATOR COLORS", page);
    auto* grid = new QGridLayout(colours);
    grid->setContentsMargins(6, 4, 6, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    ui->colorMode = new ctl::Ring();
    ui->colorMode->AddItem("Manually", 0);
    ui->colorMode->AddItem("Automatically", 1);
    ui->colorMode->SetVal(0);
    ui->row = new ctl::U16Spin(nullptr, 0, kRows - 1);
    ui->row->setAlignment(Qt::AlignRight);
    ui->row->setFixedWidth(kFieldWidth);
    ui->color = new ctl::ColorField();
    ui->color->setFixedSize(kFieldWidth, 22);
    ui->color->SetColor(0xFF0000);
    ui->color->setToolTip("Indicator color of the row (click to choose)");
    ui->setColor = new QPushButton("SET");
    ui->setColor->setMinimumWidth(44);
    grid->addWidget(new QLabel("MODE"), 0, 0);
    grid->addWidget(ui->colorMode, 0, 1, 1, 4);
    grid->addWidget(new QLabel("ROW"), 1, 0);
    grid->addWidget(ui->row, 1, 1);
    grid->addWidget(ui->color, 1, 3);
    grid->addWidget(ui->setColor, 1, 4);
    grid->setColumnStretch(2, 1);
    root->addWidget(colours);

    auto* files = new QHBoxLayout();
    files->setSpacing(6);
    ui->save = new QPushButton("SAVE");
    ui->load = new QPushButton("LOAD");
    ui->reset = new QPushButton("RESET");
    files->addWidget(ui->save);
    files->addWidget(ui->load);
    files->addWidget(ui->reset);
    root->addLayout(files);

    using Kind = ctl::U16Table::ColumnKind;
    auto* table = new ctl::U16Table(kRows, {Kind::Text, Kind::Swatch}, page, 0);
    QFont small = table->font();
    small.setPointSize(8);
    table->setFont(small);
    table->horizontalHeader()->setFont(small);
    table->verticalHeader()->setFont(small);
    table->verticalHeader()->setDefaultSectionSize(18);
    table->SetColumnHeading(1, "ROW SPECIFICATION");
    table->SetColumnHeading(2, "COLOR");
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Fixed);
    table->setColumnWidth(1, 52);
    table->setItemDelegateForColumn(0, new SpecDelegate(table));
    table->setMinimumHeight(150);
    ui->table = table;
    root->addWidget(table, 1);

    auto* tempRow = new QHBoxLayout();
    tempRow->addWidget(new QLabel("TEMP"));
    ui->temp = new ctl::NumDisplay();
    ui->temp->setFixedWidth(kFieldWidth);
    tempRow->addWidget(ui->temp);
    tempRow->addStretch(1);
    root->addLayout(tempRow);
}

} // namespace teach
