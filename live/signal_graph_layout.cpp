// Layout of the signal-graph panel (one graph per recorded signal, one shown
// at a time, with the current values beside it) and of the two big display
// windows for the colour number and the group.
#include "live/live_ui.h"

#include "platform/graph.h"
#include "platform/widgets.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace live {
namespace {

constexpr int kSignals = 7;
const char* const kSignalNames[kSignals] = {"RED", "GREEN", "BLUE", "X", "Y", "INT", "TEMP"};
// Caption colours of the signals: the three channels in their colours.
const char* const kSignalText[kSignals] = {"#b00000", "#007000", "#0000b0", nullptr,
                                           nullptr,   nullptr,   nullptr};

} // namespace

void BuildSignalGraphPanel(QWidget* panel, SignalGraphPanel* ui) {
    auto* root = new QVBoxLayout(panel);
    root->setContentsMargins(4, 4, 4, 4);
    root->setSpacing(4);

    auto* top = new QHBoxLayout();
    top->setSpacing(6);
    ui->signal = new ctl::Ring();
    for (int s = 0; s < kSignals; ++s) {
        ui->signal->AddItem(kSignalNames[s], s);
    }
    ui->signal->SetVal(0);
    ui->close = new QPushButton("CLOSE");
    top->addWidget(new QLabel("SIGNAL"));
    top->addWidget(ui->signal);
    top->addStretch(1);
    top->addWidget(ui->close);
    root->addLayout(top);

    auto* body = new QHBoxLayout();
    body->setSpacing(8);
    // All seven graphs share one cell; only the chosen one is visible.
    auto* graphs = new QGridLayout();
    graphs->setContentsMargins(0, 0, 0, 0);
    for (int s = 0; s < kSignals; ++s) {
        auto* g = new ctl::Graph(panel);
        g->SetXRange(0, 100);
        g->SetYRange(0, 4096);
        g->xAxis->setLabel("FRAME");
        g->yAxis->setLabel(kSignalNames[s]);
        g->setVisible(s == 0);
        ui->graph[s] = g;
        graphs->addWidget(g, 0, 0);
    }
    body->addLayout(graphs, 1);

    auto* values = new QGridLayout();
    values->setHorizontalSpacing(6);
    values->setVerticalSpacing(4);
    for (int s = 0; s < kSignals; ++s) {
        auto* label = new QLabel(kSignalNames[s]);
        if (kSignalText[s] != nullptr) {
            label->setStyleSheet(
                QStringLiteral("QLabel { color: %1; font-weight: bold; }").arg(kSignalText[s]));
        }
        ui->valueLabel[s] = label;
        ui->value[s] = new ctl::NumDisplay();
        ui->value[s]->setFixedWidth(56);
        values->addWidget(label, s, 0);
        values->addWidget(ui->value[s], s, 1);
    }
    values->setRowStretch(kSignals, 1);
    body->addLayout(values);
    root->addLayout(body, 1);
}

void BuildBigPanel(QWidget* panel, BigPanel* ui, const QString& caption) {
    auto* root = new QVBoxLayout(panel);
    root->setContentsMargins(12, 8, 12, 8);
    root->setSpacing(2);

    auto* title = new QLabel(caption);
    QFont captionFont = title->font();
    captionFont.setPointSize(16);
    captionFont.setBold(true);
    title->setFont(captionFont);
    root->addWidget(title);

    ui->value = new ctl::NumDisplay();
    QFont big = ui->value->font();
    big.setPointSize(96);
    big.setBold(true);
    ui->value->setFont(big);
    ui->value->setAlignment(Qt::AlignCenter);
    ui->value->SetColors(0x000000, 0xFFFFFF);
    root->addWidget(ui->value, 1);

    ui->id = new QLabel();
    ui->id->setAlignment(Qt::AlignCenter);
    ui->id->setWordWrap(true);
    root->addWidget(ui->id);

    panel->resize(300, 220);
}

} // namespace live
