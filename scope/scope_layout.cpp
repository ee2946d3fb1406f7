// Layout of the scope page (capture settings, sensor timing, commands and
// the printout comment) and of the scope panel (analogue and digital traces,
// signal choice, cursor deltas).
#include "scope/scope_ui.h"

#include "platform/graph.h"
#include "platform/layout_kit.h"
#include "platform/widgets.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <tuple>
#include <utility>

namespace scope {
namespace {

constexpr int kSamples = 128;
constexpr int kFieldWidth = 72;
constexpr int kLeftMargin = 52; // room for "4100" and the axis caption
constexpr ctl::Rgb kCursor1 = 0x000000;
constexpr ctl::Rgb kCursor2 = 0xB000B0;

QLabel* Caption(const QString& text) {
    return new QLabel(text);
}

// A selector that may be narrower than its longest item.
ctl::Ring* Selector() {
    auto* r = new ctl::Ring();
    r->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    r->setMinimumContentsLength(8);
    return r;
}

ctl::U16Spin* Field(int minimum, int maximum, int value) {
    auto* s = new ctl::U16Spin(nullptr, minimum, maximum);
    s->SetVal(value);
    s->setAlignment(Qt::AlignRight);
    s->setFixedWidth(kFieldWidth);
    return s;
}

QGridLayout* Grid(QWidget* parent) {
    auto* grid = new QGridLayout(parent);
    grid->setContentsMargins(6, 3, 4, 5);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(1, 1);
    return grid;
}

// Both graphs show the same 128 samples: a fixed left margin keeps their
// x axes exactly above each other, ticks every 16 samples.
void AlignedSampleAxis(ctl::Graph* g) {
    g->axisRect()->setAutoMargins(QCP::msBottom);
    g->axisRect()->setMargins(QMargins(kLeftMargin, 6, 10, 0));
    auto ticker = QSharedPointer<QCPAxisTickerFixed>::create();
    ticker->setTickStep(16);
    ticker->setScaleStrategy(QCPAxisTickerFixed::ssNone);
    g->xAxis->setTicker(ticker);
}

} // namespace

void BuildScopePage(QWidget* page, ScopePage* ui) {
    auto* root = new QVBoxLayout(page);
    root->setContentsMargins(4, 4, 4, 4);
    root->setSpacing(4);

    auto* settings = new QGroupBox("CAPTURE SETTINGS", page);
    auto* grid = Grid(settings);
    ui->triggerMode = Selector();
    ui->triggerMode->AddItem("SINGLE SHOT", 0);
    ui->triggerMode->AddItem("RISING EDGE", 1);
    ui->triggerMode->AddItem("FALLING EDGE", 2);
    ui->triggerMode->AddItem("INTERNAL C-No.0", 3);
    ui->triggerMode->AddItem("EXTERNAL IN0", 4);
    ui->triggerMode->SetVal(0);
    ui->triggerLevel = Field(0, 65535, 2000);
    ui->preTrigger = Field(0, 127, 20);
    ui->scanRate = Field(1, 65535, 1);
    ui->recordSignal = Selector();
    ui->recordSignal->AddItem("RED, GREEN, BLUE", 0);
    ui->recordSignal->AddItem("X, Y, INT", 1);
    ui->recordSignal->SetVal(0);
    grid->addWidget(Caption("TRIGGER MODE"), 0, 0);
    grid->addWidget(ui->triggerMode, 0, 1, 1, 2);
    grid->addWidget(Caption("TRIGGER LEVEL"), 1, 0);
    grid->addWidget(ui->triggerLevel, 1, 2);
    grid->addWidget(Caption("PRE-TRIGGER VALUES"), 2, 0);
    grid->addWidget(ui->preTrigger, 2, 2);
    grid->addWidget(Caption("SCAN RATE"), 3, 0);
    grid->addWidget(ui->scanRate, 3, 2);
    grid->addWidget(Caption("RECORD SIGNAL"), 4, 0);
    grid->addWidget(ui->recordSignal, 4, 1, 1, 2);
    // SINGLE SHOT uses neither the trigger level nor a pre-trigger part.
    ui->triggerLevel->setEnabled(false);
    ui->preTrigger->setEnabled(false);
    root->addWidget(settings);

    auto* timing = new QGroupBox("SENSOR TIMING", page);
    auto* timingGrid = Grid(timing);
    ui->getCycleTime = new QPushButton("GET CYCLE TIME");
    ui->cycleTime = new ctl::NumDisplay(nullptr, 2);
    ui->cycleTime->setFixedSize(kFieldWidth, 20);
    ui->scanFreq = new ctl::NumDisplay(nullptr, 0);
    ui->scanFreq->setFixedSize(kFieldWidth, 20);
    timingGrid->addWidget(ui->getCycleTime, 0, 0, 1, 3);
    timingGrid->addWidget(Caption("CYCLE TIME [ms]"), 1, 0);
    timingGrid->addWidget(ui->cycleTime, 1, 2);
    timingGrid->addWidget(Caption("SCAN FREQUENCY [Hz]"), 2, 0);
    timingGrid->addWidget(ui->scanFreq, 2, 2);
    root->addWidget(timing);

    auto* commands = new QHBoxLayout();
    commands->setSpacing(6);
    ui->scan = new QPushButton("SCAN");
    ctl::MakeCommandButton(ui->scan, "#006400");
    ui->breakScan = new QPushButton("BREAK SCAN");
    ui->print = new QPushButton("PRINT");
    commands->addWidget(ui->scan);
    commands->addWidget(ui->breakScan);
    commands->addWidget(ui->print);
    root->addLayout(commands);

    root->addWidget(Caption("COMMENT:"));
    ui->comment = new QPlainTextEdit(page);
    ui->comment->setMinimumHeight(48);
    ui->comment->setTabChangesFocus(true);
    root->addWidget(ui->comment, 1);
}

void BuildScopePanel(QWidget* panel, ScopePanel* ui) {
    auto* root = new QVBoxLayout(panel);
    root->setContentsMargins(4, 4, 4, 4);
    root->setSpacing(4);

    // Signal choice and zoom on top, with the busy indicator beside them;
    // the indicator keeps its place when hidden so nothing moves.
    auto* top = new QHBoxLayout();
    top->setSpacing(6);
    ui->signal = new ctl::Ring();
    ui->signal->AddItem("ALL", 0);
    ui->signal->AddItem("RED", 1);
    ui->signal->AddItem("GREEN", 2);
    ui->signal->AddItem("BLUE", 3);
    ui->signal->SetVal(0);
    ui->zoom11 = new QPushButton("ZOOM 1:1");
    auto* busy = new QLabel("WAITING FOR TRIGGER...");
    busy->setAlignment(Qt::AlignCenter);
    busy->setStyleSheet("QLabel { background: #d00000; color: white; font-weight: bold; "
                        "padding: 2px 8px; border: 1px solid #800000; }");
    QSizePolicy keep = busy->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    busy->setSizePolicy(keep);
    busy->setVisible(false);
    ui->busy = busy;
    top->addWidget(Caption("SIGNAL"));
    top->addWidget(ui->signal);
    top->addWidget(ui->zoom11);
    top->addStretch(1);
    top->addWidget(busy);
    root->addLayout(top);

    ui->scope = new ctl::Graph(panel);
    AlignedSampleAxis(ui->scope);
    ui->scope->SetXRange(0, kSamples);
    ui->scope->SetYRange(0, 4100);
    ui->scope->yAxis->setLabel("[digit]");
    // Two crosshair cursors measure time and level; Ctrl + drag zooms.
    for (const auto& [colour, x, y] :
         {std::tuple{kCursor1, 32.0, 3000.0}, std::tuple{kCursor2, 96.0, 1000.0}}) {
        ui->scope->SetCursor(ui->scope->AddCursor(colour), x, y);
    }
    ui->scope->SetCursorsMovable(true);
    ui->scope->SetCtrlDragZoom(true);
    root->addWidget(ui->scope, 3);

    ui->digital = new ctl::Graph(panel);
    ui->digital->setMinimumHeight(70);
    AlignedSampleAxis(ui->digital);
    auto lines = QSharedPointer<QCPAxisTickerFixed>::create();
    lines->setTickStep(2);
    lines->setScaleStrategy(QCPAxisTickerFixed::ssNone);
    ui->digital->yAxis->setTicker(lines);
    ui->digital->SetXRange(0, kSamples);
    ui->digital->SetYRange(0, 12);
    ui->digital->xAxis->setLabel("SAMPLE");
    // The digital lines show the same two instants as the scope graph.
    for (const auto& [colour, x] : {std::pair{kCursor1, 32.0}, std::pair{kCursor2, 96.0}}) {
        const int c = ui->digital->AddCursor(colour);
        ui->digital->SetCursorVerticalOnly(c, true);
        ui->digital->SetCursor(c, x, 0);
    }
    root->addWidget(ui->digital, 1);

    auto* bottom = new QHBoxLayout();
    bottom->setSpacing(6);
    ui->deltaX = new ctl::NumDisplay(nullptr, 6);
    ui->deltaX->setFixedWidth(84);
    ui->deltaY = new ctl::NumDisplay(nullptr, 0);
    ui->deltaY->setFixedWidth(60);
    ui->close = new QPushButton("CLOSE");
    bottom->addWidget(Caption("delta X [ms]"));
    bottom->addWidget(ui->deltaX);
    bottom->addSpacing(8);
    bottom->addWidget(Caption("delta Y [digit]"));
    bottom->addWidget(ui->deltaY);
    bottom->addStretch(1);
    bottom->addWidget(ui->close);
    root->addLayout(bottom);
}

} // namespace scope
