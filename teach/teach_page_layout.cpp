// Layout of the teach table page: the row number that teach operations
// write into with its auto-increment switch, TEACH DATA TO and the table
// reset, the teach grid (five value columns and the row colour) with its
// context menu, and the buttons that open the two teach assistants.
#include "teach/teach_ui.h"

#include "platform/layout_kit.h"
#include "platform/widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace teach {
namespace {

constexpr int kRows = 31;
constexpr int kValueColumns = 5;
constexpr int kColourColumn = 6;
constexpr int kValueColumnWidth = 42;
constexpr int kColourColumnWidth = 34;
constexpr int kLastRowNo = kRows - 1;

QPushButton* Command(const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    return b;
}

ctl::U16Table* NewGrid(QWidget* parent) {
    using Kind = ctl::U16Table::ColumnKind;
    std::vector<Kind> kinds(kValueColumns, Kind::Value);
    kinds.push_back(Kind::Swatch);
    auto* grid = new ctl::U16Table(kRows, kinds, parent);
    QFont f = grid->font();
    f.setPointSize(8);
    grid->setFont(f);
    grid->horizontalHeader()->setFont(f);
    grid->verticalHeader()->setFont(f);
    grid->verticalHeader()->setDefaultSectionSize(18);
    grid->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const char* const headings[] = {"X", "Y", "CTO", "INT", "ITO", "COLOR"};
    for (int c = 1; c <= kColourColumn; ++c) {
        grid->SetColumnHeading(c, headings[c - 1]);
    }
    // Narrow fixed value columns; the colour column takes what is left.
    QHeaderView* h = grid->horizontalHeader();
    h->setMinimumSectionSize(24);
    for (int c = 0; c < kValueColumns; ++c) {
        h->setSectionResizeMode(c, QHeaderView::Fixed);
        grid->setColumnWidth(c, kValueColumnWidth);
    }
    h->setSectionResizeMode(kColourColumn - 1, QHeaderView::Stretch);
    grid->setColumnWidth(kColourColumn - 1, kColourColumnWidth);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    for (int r = 1; r <= kRows; ++r) {
        for (int c = 1; c <= kValueColumns; ++c) {
            grid->SetVal(r, c, 1); // the reset state of a teach row
        }
    }
    grid->setMinimumHeight(150);
    return grid;
}

void BuildGridMenu(TeachPage* ui) {
    ui->gridMenu = new QMenu(ui->grid);
    ui->menuHelp = ui->gridMenu->addAction("Help");
    ui->gridMenu->addSeparator();
    ui->menuSetSelection = ui->gridMenu->addAction("Set selection to");
    ui->menuIncrementSelection = ui->gridMenu->addAction("Increment selection with");
    ui->menuResetSelection = ui->gridMenu->addAction("Reset selection");
    ui->gridMenu->addSeparator();
    ui->menuTolOff = ui->gridMenu->addAction("Teach tolerance off");
    ui->menuTolOn = ui->gridMenu->addAction("Teach tolerance on");
    // Tolerances are taught at start, so only switching them off is offered.
    ui->menuTolOn->setEnabled(false);

    ctl::U16Table* grid = ui->grid;
    QMenu* menu = ui->gridMenu;
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(grid, &QWidget::customContextMenuRequested, menu,
                     [grid, menu](const QPoint& pos) {
                         // A table reports the position in its viewport.
                         menu->popup(grid->viewport()->mapToGlobal(pos));
                     });
}

} // namespace

void BuildTeachPage(QWidget* page, TeachPage* ui) {
    auto* root = new QVBoxLayout(page);
    root->setContentsMargins(4, 4, 4, 4);
    root->setSpacing(4);

    // Row that TEACH DATA TO and the assistants write into.
    auto* rowSelect = new QHBoxLayout();
    rowSelect->setSpacing(6);
    ui->rowNoLabel = new QLabel("No.:", page);
    ui->rowNo = new ctl::U16Spin(page, 0, kLastRowNo);
    ui->rowNo->SetVal(0);
    ui->rowNo->setAlignment(Qt::AlignRight);
    ui->rowNo->setMinimumWidth(52);
    ui->rowNoLabel->setBuddy(ui->rowNo);
    ui->autoIncrement = new QCheckBox("AUTO INC", page);
    ui->autoIncrement->setChecked(true);
    rowSelect->addWidget(ui->rowNoLabel);
    rowSelect->addWidget(ui->rowNo);
    rowSelect->addSpacing(6);
    rowSelect->addWidget(ui->autoIncrement);
    rowSelect->addStretch(1);
    root->addLayout(rowSelect);

    auto* teach = new QGridLayout();
    teach->setHorizontalSpacing(6);
    ui->teachDataTo = Command("TEACH DATA TO", page);
    ctl::MakeCommandButton(ui->teachDataTo);
    ui->resetTable = Command("RESET", page);
    teach->addWidget(ui->teachDataTo, 0, 0);
    teach->addWidget(ui->resetTable, 0, 1);
    teach->setColumnStretch(0, 2);
    teach->setColumnStretch(1, 1);
    root->addLayout(teach);

    ui->grid = NewGrid(page);
    root->addWidget(ui->grid, 1);
    BuildGridMenu(ui);

    // The two teach assistants.
    auto* assistants = new QGridLayout();
    assistants->setHorizontalSpacing(6);
    ui->teachMeanValues = Command("MEAN VALUE TEACH", page);
    ui->teachRecordedValues = Command("GRAPH TEACH", page);
    assistants->addWidget(ui->teachMeanValues, 0, 0);
    assistants->addWidget(ui->teachRecordedValues, 0, 1);
    assistants->setColumnStretch(0, 1);
    assistants->setColumnStretch(1, 1);
    root->addLayout(assistants);
}

} // namespace teach
