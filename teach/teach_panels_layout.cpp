// Layout of the two teach-assistant panels: the mean-value teach panel
// (captured frames, their means and scatter, tolerance choices) and the
// graph teach panel (three side views of the recorded points with cursors).
#include "teach/teach_ui.h"

#include "platform/graph.h"
#include "platform/layout_kit.h"
#include "platform/widgets.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

namespace teach {
namespace {

constexpr int kCaptureRows = 100;
constexpr int kFieldWidth = 64;
constexpr int kRowHeaderWidth = 40;
const char* const kColumns[6] = {"RED", "GREEN", "BLUE", "X", "Y", "INT"};
const char* const kChannelText[3] = {"#b00000", "#007000", "#0000b0"};

QLabel* Caption(const QString& text, const char* colour = nullptr) {
    auto* l = new QLabel(text);
    if (colour != nullptr) {
        l->setStyleSheet(QStringLiteral("QLabel { color: %1; font-weight: bold; }").arg(colour));
    }
    return l;
}

ctl::NumDisplay* Display(int width = kFieldWidth) {
    auto* d = new ctl::NumDisplay();
    d->setFixedWidth(width);
    return d;
}

// A value table in the dense 8 pt style with the six measurement columns.
ctl::U16Table* ValueTable(int rows, int firstRowLabel, QWidget* parent) {
    using Kind = ctl::U16Table::ColumnKind;
    auto* t = new ctl::U16Table(rows, std::vector<Kind>(6, Kind::Value), parent, firstRowLabel);
    QFont small = t->font();
    small.setPointSize(8);
    t->setFont(small);
    t->horizontalHeader()->setFont(small);
    t->verticalHeader()->setFont(small);
    t->verticalHeader()->setDefaultSectionSize(18);
    t->verticalHeader()->setFixedWidth(kRowHeaderWidth);
    t->horizontalHeader()->setFixedHeight(20);
    for (int c = 0; c < 6; ++c) {
        t->SetColumnHeading(c + 1, kColumns[c]);
    }
    return t;
}

ctl::Ring* ToleranceChoice(const char* fixedValue, const char* distance) {
    auto* r = new ctl::Ring();
    r->AddItem(fixedValue, 0);
    r->AddItem(distance, 1);
    r->AddItem(QStringLiteral("%1+%2").arg(distance, fixedValue), 2);
    r->AddItem("KEEP ROW TOLERANCE", 3);
    r->SetVal(0);
    return r;
}

ctl::U16Spin* ToleranceValue() {
    auto* s = new ctl::U16Spin(nullptr, 0, 65535);
    s->SetVal(100);
    s->setAlignment(Qt::AlignRight);
    s->setFixedWidth(kFieldWidth);
    return s;
}

ctl::Graph* ViewGraph(const char* xName, const char* yName) {
    auto* g = new ctl::Graph();
    g->SetXRange(0, 4096);
    g->SetYRange(0, 4096);
    g->xAxis->setLabel(xName);
    g->yAxis->setLabel(yName);
    return g;
}

} // namespace

void BuildTeachMeanPanel(QWidget* panel, TeachMeanPanel* ui) {
    auto* root = new QVBoxLayout(panel);
    root->setContentsMargins(4, 4, 4, 4);
    root->setSpacing(4);

    // Live values and the number of captured frames.
    auto* live = new QHBoxLayout();
    live->setSpacing(6);
    ui->red = Display();
    ui->green = Display();
    ui->blue = Display();
    ctl::NumDisplay* rgb[3] = {ui->red, ui->green, ui->blue};
    for (int c = 0; c < 3; ++c) {
        live->addWidget(Caption(kColumns[c], kChannelText[c]));
        live->addWidget(rgb[c]);
        live->addSpacing(4);
    }
    live->addStretch(1);
    ui->counter = Display(48);
    ui->counter->setToolTip("Number of captured frames (at most 100)");
    live->addWidget(Caption("FRAMES"));
    live->addWidget(ui->counter);
    root->addLayout(live);

    // Captured frames; the mean row below lines up with their columns.
    ui->frames = ValueTable(kCaptureRows, 1, panel);
    ui->frames->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui->frames->setMinimumHeight(110);
    root->addWidget(ui->frames, 1);

    ui->mean = ValueTable(1, 1, panel);
    ui->mean->setVerticalHeaderItem(0, new QTableWidgetItem("MEAN"));
    ui->mean->horizontalHeader()->hide();
    ui->mean->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->mean->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->mean->setFixedHeight(ui->mean->verticalHeader()->defaultSectionSize() +
                             2 * ui->mean->frameWidth());
    QFont bold = ui->mean->font();
    bold.setBold(true);
    ui->mean->setFont(bold);
    auto* meanRow = new QHBoxLayout();
    meanRow->setSpacing(0);
    meanRow->addWidget(ui->mean, 1);
    meanRow->addSpacing(panel->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    root->addLayout(meanRow);

    // Scatter of the captured frames and the tolerance choices.
    auto* teachBox = new QGroupBox("TEACH TOLERANCES", panel);
    auto* grid = new QGridLayout(teachBox);
    grid->setContentsMargins(6, 4, 6, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    ui->maxDeltaXYLabel = Caption("d (X/Y)");
    ui->maxDeltaXY = Display();
    ui->maxDeltaIntLabel = Caption("d INT");
    ui->maxDeltaInt = Display();
    ui->teachCtoWithLabel = Caption("TEACH CTO WITH");
    ui->teachCtoWith = ToleranceChoice("VALUE CTO", "d (X/Y)");
    ui->valueCtoLabel = Caption("VALUE CTO");
    ui->valueCto = ToleranceValue();
    ui->teachItoWithLabel = Caption("TEACH ITO WITH");
    ui->teachItoWith = ToleranceChoice("VALUE ITO", "d INT");
    ui->valueItoLabel = Caption("VALUE ITO");
    ui->valueIto = ToleranceValue();
    // Scatter of the captured frames above the choices that may use it.
    grid->addWidget(ui->maxDeltaXYLabel, 0, 0);
    grid->addWidget(ui->maxDeltaXY, 0, 1, Qt::AlignLeft);
    grid->addWidget(ui->maxDeltaIntLabel, 0, 2);
    grid->addWidget(ui->maxDeltaInt, 0, 3);
    grid->addWidget(ui->teachCtoWithLabel, 1, 0);
    grid->addWidget(ui->teachCtoWith, 1, 1);
    grid->addWidget(ui->valueCtoLabel, 1, 2);
    grid->addWidget(ui->valueCto, 1, 3);
    grid->addWidget(ui->teachItoWithLabel, 2, 0);
    grid->addWidget(ui->teachItoWith, 2, 1);
    grid->addWidget(ui->valueItoLabel, 2, 2);
    grid->addWidget(ui->valueIto, 2, 3);
    grid->setColumnStretch(4, 1);
    root->addWidget(teachBox);

    auto* buttons = new QHBoxLayout();
    buttons->setSpacing(6);
    ui->capture = new QPushButton("CAPTURE");
    ui->undo = new QPushButton("UNDO");
    ui->reset = new QPushButton("RESET");
    ui->teach = new QPushButton("TEACH");
    ctl::MakeCommandButton(ui->teach);
    ui->close = new QPushButton("CLOSE");
    buttons->addWidget(ui->capture);
    buttons->addWidget(ui->undo);
    buttons->addWidget(ui->reset);
    buttons->addWidget(ui->teach);
    buttons->addStretch(1);
    buttons->addWidget(ui->close);
    root->addLayout(buttons);
}

void BuildTeachGraphPanel(QWidget* panel, TeachGraphPanel* ui) {
    auto* root = new QGridLayout(panel);
    root->setContentsMargins(4, 4, 4, 4);
    root->setHorizontalSpacing(6);
    root->setVerticalSpacing(2);

    // Three side views in a 2 x 2 grid, the fourth cell holds the controls.
    const char* names[3] = {"X/Y", "X/INT", "Y/INT"};
    const char* axes[3][2] = {{"X", "Y"}, {"X", "INT"}, {"Y", "INT"}};
    const int cell[3][2] = {{0, 0}, {0, 1}, {2, 0}};
    for (int g = 0; g < 3; ++g) {
        ui->graphLabel[g] = Caption(names[g]);
        ui->graphLabel[g]->setStyleSheet("QLabel { font-weight: bold; }");
        ui->graph[g] = ViewGraph(axes[g][0], axes[g][1]);
        root->addWidget(ui->graphLabel[g], cell[g][0], cell[g][1]);
        root->addWidget(ui->graph[g], cell[g][0] + 1, cell[g][1]);
    }
    root->setRowStretch(1, 1);
    root->setRowStretch(3, 1);
    root->setColumnStretch(0, 1);
    root->setColumnStretch(1, 1);

    auto* controls = new QWidget(panel);
    auto* side = new QVBoxLayout(controls);
    side->setContentsMargins(4, 0, 0, 0);
    side->setSpacing(4);
    auto* values = new QGroupBox("SELECTED POINT", controls);
    auto* valueGrid = new QGridLayout(values);
    valueGrid->setContentsMargins(6, 4, 6, 6);
    valueGrid->setHorizontalSpacing(8);
    valueGrid->setVerticalSpacing(3);
    const char* cursorNames[3] = {"X", "Y", "INT"};
    for (int v = 0; v < 3; ++v) {
        ui->cursorLabel[v] = Caption(cursorNames[v]);
        ui->cursorValue[v] = Display();
        valueGrid->addWidget(ui->cursorLabel[v], v, 0);
        valueGrid->addWidget(ui->cursorValue[v], v, 1, Qt::AlignRight);
    }
    side->addWidget(values);
    auto* countRow = new QHBoxLayout();
    ui->counter = Display();
    countRow->addWidget(Caption("RECORDED"));
    countRow->addStretch(1);
    countRow->addWidget(ui->counter);
    side->addLayout(countRow);
    auto* buttons = new QGridLayout();
    buttons->setSpacing(4);
    ui->start = new QPushButton("START");
    ctl::MakeCommandButton(ui->start, "#006400");
    ui->reset = new QPushButton("RESET");
    ui->teach = new QPushButton("TEACH");
    ctl::MakeCommandButton(ui->teach);
    ui->close = new QPushButton("CLOSE");
    buttons->addWidget(ui->start, 0, 0);
    buttons->addWidget(ui->reset, 0, 1);
    buttons->addWidget(ui->teach, 1, 0);
    buttons->addWidget(ui->close, 1, 1);
    side->addLayout(buttons);
    side->addStretch(1);
    controls->setMinimumWidth(200);
    controls->setMaximumWidth(300);
    root->addWidget(controls, 2, 1, 2, 1, Qt::AlignLeft | Qt::AlignTop);
}

} // namespace teach
