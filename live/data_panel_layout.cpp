// Layout of the data panel: the connection header, the live displays
// (RED/GREEN/BLUE with bars, X/Y/INT, delta C, COLOR, GROUP, trigger, colour
// patch, output LEDs) and the four graph pages RGB, INT, 2D and 3D.
#include "live/live_ui.h"

#include "platform/graph.h"
#include "platform/layout_kit.h"
#include "platform/tab_control.h"
#include "platform/widgets.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace live {
namespace {

using ctl::Caption;

constexpr int kValueWidth = 46;
constexpr int kRowHeight = 20;

ctl::NumDisplay* Value(int width = kValueWidth) {
    auto* d = new ctl::NumDisplay();
    d->setMinimumWidth(width);
    d->setFixedHeight(kRowHeight);
    return d;
}

ctl::Graph* Chart(double xHi, double yHi) {
    auto* g = new ctl::Graph();
    g->SetXRange(0, xHi);
    g->SetYRange(0, yHi);
    return g;
}

// "RED [ ]  GREEN [ ]  BLUE [ ]" in one row.
QHBoxLayout* RgbRow(RgbNumerics* n) {
    auto* row = new QHBoxLayout();
    row->setSpacing(6);
    n->red = Value();
    n->green = Value();
    n->blue = Value();
    ctl::NumDisplay* d[3] = {n->red, n->green, n->blue};
    for (int c = 0; c < 3; ++c) {
        row->addWidget(Caption(ctl::kChannelNames[c], c));
        row->addWidget(d[c]);
        row->addSpacing(8);
    }
    row->addStretch(1);
    return row;
}

QVBoxLayout* PageLayout(QWidget* page) {
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(4, 4, 4, 4);
    v->setSpacing(4);
    return v;
}

QWidget* BuildRgbPage(DataPanel* ui) {
    auto* page = new QWidget();
    auto* v = PageLayout(page);
    // One column pair per colour: its caption, the live value, and below it
    // the first and second extreme.
    auto* grid = new QGridLayout();
    grid->setHorizontalSpacing(3);
    grid->setVerticalSpacing(2);
    ui->rgbPage.red = Value();
    ui->rgbPage.green = Value();
    ui->rgbPage.blue = Value();
    ctl::NumDisplay* live[3] = {ui->rgbPage.red, ui->rgbPage.green, ui->rgbPage.blue};
    grid->addWidget(Caption("MIN/MAX"), 2, 0);
    grid->setColumnMinimumWidth(1, 4);
    for (int c = 0; c < 3; ++c) {
        const int col = 2 + c * 3;
        grid->addWidget(Caption(ctl::kChannelNames[c], c), 0, col, 1, 2, Qt::AlignHCenter);
        grid->addWidget(live[c], 1, col, 1, 2);
        ui->extreme[2 * c] = Value(40);
        ui->extreme[2 * c + 1] = Value(40);
        grid->addWidget(ui->extreme[2 * c], 2, col);
        grid->addWidget(ui->extreme[2 * c + 1], 2, col + 1);
        grid->setColumnMinimumWidth(col + 2, 10);
    }
    grid->setColumnStretch(11, 1);
    v->addLayout(grid);
    ui->rgbChart = Chart(100, 4096);
    v->addWidget(ui->rgbChart, 1);
    return page;
}

QWidget* BuildIntPage(DataPanel* ui) {
    auto* page = new QWidget();
    auto* v = PageLayout(page);
    v->addLayout(RgbRow(&ui->intPage));
    ui->intChart = Chart(100, 4096);
    ui->intChart->yAxis->setLabel("INT");
    v->addWidget(ui->intChart, 1);
    return page;
}

QWidget* Build2DPage(DataPanel* ui) {
    auto* page = new QWidget();
    auto* v = PageLayout(page);
    // The colour plane (its plot area square); the values stand beside it.
    auto* top = new QHBoxLayout();
    top->setSpacing(6);
    ui->colorPlane = Chart(4096, 4096);
    ui->colorPlane->SetSquarePlotArea(true);
    ui->colorPlane->xAxis->setLabel("X");
    ui->colorPlane->yAxis->setLabel("Y");
    top->addWidget(ui->colorPlane, 1);
    auto* values = new QGridLayout();
    values->setVerticalSpacing(3);
    ui->page2D.red = Value();
    ui->page2D.green = Value();
    ui->page2D.blue = Value();
    ctl::NumDisplay* d[3] = {ui->page2D.red, ui->page2D.green, ui->page2D.blue};
    for (int c = 0; c < 3; ++c) {
        values->addWidget(Caption(ctl::kChannelNames[c], c), c, 0);
        values->addWidget(d[c], c, 1);
    }
    values->setRowStretch(3, 1);
    top->addLayout(values);
    v->addLayout(top, 1);
    // The intensity bar: low and wide.
    ui->intensityBar = Chart(4096, 100);
    ui->intensityBar->xAxis->setLabel("INT");
    ui->intensityBar->yAxis->setTickLabels(false);
    ui->intensityBar->yAxis->setTicks(false);
    ui->intensityBar->setMinimumHeight(84);
    ui->intensityBar->setMaximumHeight(110);
    v->addWidget(ui->intensityBar);
    return page;
}

QWidget* Build3DPage(DataPanel* ui) {
    auto* page = new QWidget();
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(1);
    const char* names[3] = {"X/Y", "X/INT", "Y/INT"};
    const char* axes[3][2] = {{"X", "Y"}, {"X", "INT"}, {"Y", "INT"}};
    for (int g = 0; g < 3; ++g) {
        ui->viewLabel[g] = Caption(names[g]);
        ui->viewLabel[g]->setStyleSheet("QLabel { font-weight: bold; }");
        ui->view[g] = Chart(4096, 4096);
        ui->view[g]->SetSquarePlotArea(true);
        ui->view[g]->xAxis->setLabel(axes[g][0]);
        ui->view[g]->yAxis->setLabel(axes[g][1]);
        const int row = (g / 2) * 2;
        grid->addWidget(ui->viewLabel[g], row, g % 2);
        grid->addWidget(ui->view[g], row + 1, g % 2);
    }
    auto* rgbLabel = Caption("RGB");
    rgbLabel->setStyleSheet("QLabel { font-weight: bold; }");
    grid->addWidget(rgbLabel, 2, 1);
    ui->rgbChart3D = Chart(100, 4096);
    grid->addWidget(ui->rgbChart3D, 3, 1);
    grid->setRowStretch(1, 1);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    return page;
}

// Connection status, COM port and server address.
QHBoxLayout* BuildHeader(DataPanel* ui) {
    auto* header = new QHBoxLayout();
    header->setSpacing(4);
    auto indicator = [](const QString& text) {
        auto* l = new QLabel(text);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setMinimumHeight(22);
        l->setContentsMargins(4, 0, 4, 0);
        return l;
    };
    ui->status = indicator("NO SENSOR CONNECTED!");
    ui->status->setStyleSheet("QLabel { font-weight: bold; }");
    ui->status->setMinimumWidth(160);
    ui->comPortIndicator = indicator("COM 1");
    ui->comPortIndicator->setToolTip("COM port of the sensor");
    ui->comPortIndicator->setMinimumWidth(64);
    ui->addressIndicator = indicator("");
    ui->addressIndicator->setToolTip("Server address of the sensor");
    ui->addressIndicator->setMinimumWidth(110);
    ui->addressIndicator->hide(); // RS232 is the start protocol: the COM port shows
    header->addWidget(ui->status, 1);
    header->addWidget(ui->comPortIndicator);
    header->addWidget(ui->addressIndicator);
    return header;
}

// The live values of the current measurement.
QGroupBox* BuildLiveBox(QWidget* panel, DataPanel* ui) {
    auto* box = new QGroupBox(panel);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(5);
    grid->setVerticalSpacing(3);

    // RED, GREEN, BLUE with the bars of the calibrated values beside them.
    ui->rgb.red = Value();
    ui->rgb.green = Value();
    ui->rgb.blue = Value();
    ctl::NumDisplay* rgb[3] = {ui->rgb.red, ui->rgb.green, ui->rgb.blue};
    auto* bars = new QWidget();
    auto* barsLayout = new QVBoxLayout(bars);
    barsLayout->setContentsMargins(0, 0, 0, 0);
    barsLayout->setSpacing(grid->verticalSpacing());
    for (int c = 0; c < 3; ++c) {
        grid->addWidget(Caption(ctl::kChannelNames[c], c), c, 0);
        grid->addWidget(rgb[c], c, 1);
        ui->bar[c] = ctl::ChannelBar(c, 4095, 12);
        ui->bar[c]->setMinimumWidth(40);
        auto* cell = new QWidget();
        cell->setFixedHeight(kRowHeight);
        auto* cellLayout = new QVBoxLayout(cell);
        cellLayout->setContentsMargins(0, 0, 0, 0);
        cellLayout->addWidget(ui->bar[c], 0, Qt::AlignVCenter);
        barsLayout->addWidget(cell);
    }
    bars->setToolTip("Calibrated RED, GREEN, BLUE (0..4095)");
    bars->setMaximumWidth(360); // a wider bar reads no better
    ui->barsBox = bars;
    grid->addWidget(bars, 0, 2, 3, 1);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(11, 1);
    grid->setColumnMinimumWidth(3, 4);

    // X, Y, INT and delta C, COLOR, GROUP.
    ui->xLabel = Caption("X");
    ui->yLabel = Caption("Y");
    ui->intLabel = Caption("INT");
    ui->x = Value();
    ui->y = Value();
    ui->intensity = Value();
    ui->deltaCLabel = Caption("delta C");
    ui->colorLabel = Caption("COLOR");
    ui->groupLabel = Caption("GROUP");
    ui->deltaC = Value();
    ui->color = Value();
    ui->group = Value();
    QFont bold = ui->color->font();
    bold.setBold(true);
    ui->color->setFont(bold);
    ui->group->setFont(bold);
    QLabel* left[3] = {ui->xLabel, ui->yLabel, ui->intLabel};
    ctl::NumDisplay* leftVal[3] = {ui->x, ui->y, ui->intensity};
    QLabel* right[3] = {ui->deltaCLabel, ui->colorLabel, ui->groupLabel};
    ctl::NumDisplay* rightVal[3] = {ui->deltaC, ui->color, ui->group};
    for (int r = 0; r < 3; ++r) {
        grid->addWidget(left[r], r, 4);
        grid->addWidget(leftVal[r], r, 5);
        grid->addWidget(right[r], r, 7);
        grid->addWidget(rightVal[r], r, 8);
    }
    grid->setColumnMinimumWidth(6, 4);
    grid->setColumnMinimumWidth(9, 4);

    // Trigger LED above the colour patch.
    ui->triggerLabel = Caption("TRIG");
    ui->trigger = new ctl::Led(box);
    ui->trigger->setFixedSize(16, 16);
    auto* trig = new QHBoxLayout();
    trig->setSpacing(4);
    trig->addWidget(ui->triggerLabel);
    trig->addWidget(ui->trigger);
    grid->addLayout(trig, 0, 10);
    ui->colorPatch = new ctl::ColorBox(box);
    ui->colorPatch->setFixedWidth(48);
    ui->colorPatch->SetColor(0x000000);
    grid->addWidget(ui->colorPatch, 1, 10, 2, 1);

    // Output LEDs and the way to the signal graphs.
    auto* outs = new QHBoxLayout();
    outs->setSpacing(4);
    for (int i = 0; i < 5; ++i) {
        ui->outLabel[i] = Caption(QStringLiteral("OUT%1").arg(i));
        ui->out[i] = new ctl::Led(box, 0xFFD000, 0x303030);
        ui->out[i]->setFixedSize(16, 16);
        outs->addWidget(ui->outLabel[i]);
        outs->addWidget(ui->out[i]);
        outs->addSpacing(6);
    }
    outs->addStretch(1);
    ui->showGraph = new QPushButton("SIGNAL GRAPH");
    outs->addWidget(ui->showGraph);
    grid->addLayout(outs, 3, 0, 1, 11);
    return box;
}

} // namespace

void BuildDataPanel(QWidget* panel, DataPanel* ui) {
    auto* root = new QVBoxLayout(panel);
    root->setContentsMargins(4, 4, 4, 4);
    root->setSpacing(4);
    root->addLayout(BuildHeader(ui));
    root->addWidget(BuildLiveBox(panel, ui));

    ui->tabs = new ctl::PageTabs(panel);
    ui->tabs->setDocumentMode(false);
    ui->tabs->addTab(BuildRgbPage(ui), "RGB");
    ui->tabs->addTab(BuildIntPage(ui), "INT");
    ui->tabs->addTab(Build2DPage(ui), "2D");
    ui->tabs->addTab(Build3DPage(ui), "3D");
    root->addWidget(ui->tabs, 1);
}

} // namespace live
