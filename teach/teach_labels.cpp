// Mode-dependent labelling of the teach page, the attribute table and the
// teach-assistant panels.
#include "teach/teach_view.h"

#include "params/mode_logic.h"
#include "params/mode_rules.h"
#include "params/parameter_model.h"
#include "platform/widgets.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

#include <array>
#include <string>

namespace teach {
namespace {

struct ModeTexts {
    const char* columns[3]; // columns 4..6 of the mean-value tables
    const char* maxDeltaXY;
    const char* maxDeltaInt; // nullptr: unchanged
    const char* valueCto;
    const char* teachCtoWith;
    const char* ctoItems[3];
    const char* valueIto; // second tolerance, 2D only
    const char* teachItoWith;
    const char* itoItems[3];
    const char* graphs[3];
    const char* cursors[3];
};

constexpr ModeTexts kModeTexts[4] = {
    {{"X", "Y", "INT"},
     "d (X/Y)",
     "d INT",
     "VALUE CTO",
     "TEACH CTO WITH",
     {"VALUE CTO", "d (X/Y)", "d (X/Y)+VALUE CTO"},
     "VALUE ITO",
     "TEACH ITO WITH",
     {"VALUE ITO", "d INT", "d INT+VALUE ITO"},
     {"X/Y", "X/INT", "Y/INT"},
     {"X", "Y", "INT"}},
    {{"s", "i", "M"},
     "d (s/i)",
     "d M",
     "VALUE siTO",
     "TEACH siTO WITH",
     {"VALUE siTO", "d (s/i)", "d (s/i)+VALUE siTO"},
     "VALUE MTO",
     "TEACH MTO WITH",
     {"VALUE MTO", "d M", "d M+VALUE MTO"},
     {"s/i", "s/M", "i/M"},
     {"s", "i", "M"}},
    {{"X", "Y", "INT"},
     "d (X/Y/INT)",
     nullptr,
     "VALUE TOL",
     "TEACH TOL WITH",
     {"VALUE TOL", "d (X/Y/INT)", "d (X/Y/INT)+VALUE TOL"},
     nullptr,
     nullptr,
     {nullptr, nullptr, nullptr},
     {"X/Y", "X/INT", "Y/INT"},
     {"X", "Y", "INT"}},
    {{"s", "i", "M"},
     "d (s/i/INT)",
     "d M",
     "VALUE TOL",
     "TEACH TOL WITH",
     {"VALUE TOL", "d (s/i/INT)", "d (s/i/INT)+VALUE TOL"},
     nullptr,
     nullptr,
     {nullptr, nullptr, nullptr},
     {"s/i", "s/M", "i/M"},
     {"s", "i", "M"}},
};

void Show(QWidget* w, bool shown) {
    if (w != nullptr) {
        w->setVisible(shown);
    }
}

void SetItems(ctl::Ring* ring, const char* const items[3]) {
    for (int i = 0; i < 3; ++i) {
        ring->ReplaceItem(i, items[i], i);
    }
}

} // namespace

void TeachViews::FollowModeRules(params::RuleEvents& rules) {
    rules_ += rules.evaluationMode.Connect([this] { ShowGridColumns(); });
    rules_ += rules.calculationMode.Connect([this] { ShowGridHeadings(); });
    rules_ += rules.maxVecNo.Connect([this] { ShowActiveRows(); });
    rules_ += rules.chain.Connect([this] { InitTeachPanel(); });
}

// The teach grid's columns: MIN DIST hides the tolerance it does not use.
void TeachViews::ShowGridColumns() {
    ctl::U16Table* grid = panels_.teachPage.grid;
    grid->SetColumnShown(3, true);
    grid->SetColumnShown(4, true);
    if (const int unused = params::UnusedToleranceColumn(model_.Value(params::kCalculationMode),
                                                         model_.Value(params::kEvaluationMode))) {
        grid->SetColumnShown(unused, false);
    }
}

void TeachViews::ShowGridHeadings() {
    std::array<std::string, 5> headings;
    if (params::TeachGridHeadings(model_.Value(params::kCalculationMode),
                                  model_.Value(params::kEvaluationMode), &headings)) {
        for (int c = 0; c < 5; ++c) {
            panels_.teachPage.grid->SetColumnHeading(c + 1, QString::fromStdString(headings[c]));
        }
    }
}

// Rows the sensor checks (MAXCOL-No.) have green labels, the others red.
void TeachViews::ShowActiveRows() {
    const int n = model_.Value(params::kMaxVecNo);
    for (int row = 1; row <= params::kTeachRows; ++row) {
        const uint32_t colour = params::RowLabelColour(row - 1, n);
        panels_.teachPage.grid->SetRowLabelColor(row, colour);
        panels_.attributes.table->SetRowLabelColor(row, colour);
    }
}

void TeachViews::InitTeachPanel() {
    TeachPanels& p = panels_;
    TeachPage& t = p.teachPage;
    const int eval = model_.Value(params::kEvaluationMode);
    if (eval > params::kCol5) {
        t.teachMeanValues->setEnabled(false);
        t.teachRecordedValues->setEnabled(false);
        Show(t.rowNo, false);
        Show(t.rowNoLabel, false);
        Show(t.autoIncrement, false);
        return;
    }
    t.teachMeanValues->setEnabled(true);
    t.teachRecordedValues->setEnabled(true);
    Show(t.rowNo, true);
    Show(t.rowNoLabel, true);
    Show(t.autoIncrement, true);

    TeachMeanPanel& m = p.teachMean;
    const bool minDist = eval == params::kMinDist;
    m.teachCtoWith->setEnabled(!minDist);
    m.valueCto->setEnabled(!minDist);

    const int calc = model_.Value(params::kCalculationMode);
    if (calc < 0 || calc > params::kSiM3D) {
        return;
    }
    const ModeTexts& x = kModeTexts[calc];
    const bool is2D = !params::Is3D(static_cast<uint16_t>(calc));
    for (int c = 0; c < 3; ++c) {
        m.frames->SetColumnHeading(4 + c, x.columns[c]);
        m.mean->SetColumnHeading(4 + c, x.columns[c]);
    }
    m.maxDeltaXYLabel->setText(x.maxDeltaXY);
    if (x.maxDeltaInt != nullptr) {
        m.maxDeltaIntLabel->setText(x.maxDeltaInt);
    }
    Show(m.maxDeltaInt, is2D);
    Show(m.maxDeltaIntLabel, is2D);
    m.valueCtoLabel->setText(x.valueCto);
    m.teachCtoWithLabel->setText(x.teachCtoWith);
    SetItems(m.teachCtoWith, x.ctoItems);
    if (is2D) {
        m.valueItoLabel->setText(x.valueIto);
        m.teachItoWithLabel->setText(x.teachItoWith);
        SetItems(m.teachItoWith, x.itoItems);
    }
    for (QWidget* w :
         {static_cast<QWidget*>(m.valueIto), static_cast<QWidget*>(m.valueItoLabel),
          static_cast<QWidget*>(m.teachItoWith), static_cast<QWidget*>(m.teachItoWithLabel)}) {
        Show(w, is2D);
    }
    // What the panel shows of the captured frames follows the labels: the
    // colour distance is a plane distance in 2D and a space distance in 3D,
    // and TEACH takes it from the display.
    mean_.CalcMeanValues();

    TeachGraphPanel& g = p.teachGraph;
    const bool siM = params::IsSiM(static_cast<uint16_t>(calc));
    for (int i = 0; i < 3; ++i) {
        g.graphLabel[i]->setText(x.graphs[i]);
        g.cursorLabel[i]->setText(x.cursors[i]);
    }
    for (int i = 0; i < 2; ++i) {
        const uint32_t* c = siM ? params::kSiValueColours[i] : params::kXyValueColours[i];
        g.cursorValue[i]->SetColors(c[0], c[1]);
    }
    graph_.InitGraphTP2Axes(); // the views' axes follow their captions
}

} // namespace teach
