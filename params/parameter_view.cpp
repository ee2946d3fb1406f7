#include "params/parameter_view.h"

#include "params/mode_rules.h"
#include "params/param_pages_ui.h"
#include "params/parameter_model.h"
#include "platform/controls.h"
#include "platform/widgets.h"

#include <QCheckBox>
#include <QVariant>

namespace params {
namespace {

constexpr int kHoldFailRow = 1; // the hold table's first row is the fail state

void SetSpin(ctl::U16Spin* s, int v) {
    if (s->value() != v) {
        s->SetVal(v);
    }
}

} // namespace

// What the pages show of field f (-1: no control shows it).
int ParameterView::Shown(ParaField f) const {
    const ParamPanels& p = panels_;
    const ParameterPage& u = p.para;
    switch (f) {
    case kPower:
        return u.power->value();
    case kPowerMode:
        return u.powerMode->Val();
    case kAverage:
        return u.average->value();
    case kEvaluationMode:
        return u.evaluationMode->Val();
    case kHoldFail:
        return p.groupHold.holdTable->Val(kHoldFailRow, 1);
    case kIntLim:
        return u.intLim->value();
    case kMaxVecNo:
        return u.maxVecNo->value();
    case kDigitalOutmode:
        return u.digitalOutmode->Val();
    case kTrigger:
        return u.trigger->Val();
    case kExternTeach:
        return u.externTeach->Val();
    case kCalculationMode:
        return u.calculationMode->Val();
    case kDynWinLo:
        return u.dynWinLo->value();
    case kDynWinHi:
        return u.dynWinHi->value();
    case kColorGroup:
        return p.groupHold.colorGroup->isChecked() ? 1 : 0;
    case kLedMode:
        return u.ledMode->Val();
    case kGain:
        return u.gain->Val();
    case kIntegral:
        return u.integral->value();
    default:
        return -1; // reserved words have no control
    }
}

// Shows field f as the model holds it. A control that cannot show the value
// (a selector without that item, a number out of its range) keeps or
// coerces it, and the model then takes what the control shows, as a SEND
// sends what the pages show.
void ParameterView::ShowValue(ParaField f) {
    ParamPanels& p = panels_;
    ParameterPage& u = p.para;
    const int v = model_.Value(f);
    switch (f) {
    case kPower:
        u.power->SetVal(v);
        SetSpin(u.powerValue, u.power->value());
        break;
    case kPowerMode:
        u.powerMode->SetVal(v);
        break;
    case kAverage:
        SetSpin(u.average, v);
        break;
    case kEvaluationMode:
        u.evaluationMode->SetVal(v);
        break;
    case kHoldFail:
        p.groupHold.holdTable->SetVal(kHoldFailRow, 1, v);
        break;
    case kIntLim:
        SetSpin(u.intLim, v);
        break;
    case kMaxVecNo:
        SetSpin(u.maxVecNo, v);
        break;
    case kDigitalOutmode:
        u.digitalOutmode->SetVal(v);
        break;
    case kTrigger:
        u.trigger->SetVal(v);
        break;
    case kExternTeach:
        u.externTeach->SetVal(v);
        break;
    case kCalculationMode:
        u.calculationMode->SetVal(v);
        break;
    case kDynWinLo:
        SetSpin(u.dynWinLo, v);
        break;
    case kDynWinHi:
        SetSpin(u.dynWinHi, v);
        break;
    case kColorGroup: {
        QSignalBlocker block(p.groupHold.colorGroup);
        p.groupHold.colorGroup->setChecked(v != 0);
        break;
    }
    case kLedMode:
        u.ledMode->SetVal(v);
        break;
    case kGain:
        u.gain->SetVal(v);
        break;
    case kIntegral:
        SetSpin(u.integral, v);
        break;
    default:
        return;
    }
    const int shown = Shown(f);
    if (shown >= 0 && shown != v) {
        model_.SetValue(f, static_cast<uint16_t>(shown));
    }
}

// Group and hold cells of teach row r.
void ParameterView::ShowCell(int r, TeachField f) {
    GroupHoldPage& g = panels_.groupHold;
    if (f == kGroup) {
        g.groupTable->SetVal(r + 1, 1, model_.Cell(r, kGroup));
    } else if (f == kHold) {
        g.holdTable->SetVal(r + 2, 1, model_.Cell(r, kHold));
    }
}

// The whole set: the TRIGGER list first takes the form that the
// external-teach mode allows, then every control follows.
void ParameterView::ShowAll() {
    ParameterPage& u = panels_.para;
    u.externTeach->SetVal(model_.Value(kExternTeach));
    rules_.InitExteach();
    for (int f = 0; f < kParaFieldCount; ++f) {
        if (f != kTrigger) {
            ShowValue(static_cast<ParaField>(f));
        }
    }
    if (!u.trigger->SetVal(model_.Value(kTrigger))) {
        // an item the cut list no longer has
        u.trigger->SetVal(kTrigCont);
    }
    ShowValue(kTrigger);
    for (int r = 0; r < kTeachRows; ++r) {
        ShowCell(r, kGroup);
        ShowCell(r, kHold);
    }
}

// A control's user edit (or a program write to a table cell) into the model.
void ParameterView::Store(ParaField f) {
    const int shown = Shown(f);
    if (shown >= 0) {
        model_.SetValue(f, static_cast<uint16_t>(shown));
    }
}

void ParameterView::StoreGroupHoldCell(const ctl::U16Table* t, int row) {
    const GroupHoldPage& g = panels_.groupHold;
    if (t == g.groupTable) {
        model_.SetCell(row - 1, kGroup, static_cast<uint16_t>(t->Val(row, 1)));
    } else if (row == kHoldFailRow) {
        model_.SetValue(kHoldFail, static_cast<uint16_t>(t->Val(row, 1)));
    } else {
        model_.SetCell(row - 2, kHold, static_cast<uint16_t>(t->Val(row, 1)));
    }
}

template <class Control, class Signal>
void ParameterView::StoreOn(Control* c, Signal signal, ParaField f) {
    QObject::connect(c, signal, &connections_, [this, f] { Store(f); });
}

void ParameterView::BindTable(ctl::U16Table* t) {
    // A user edit reaches the model before the page's callback sees it; a
    // program write to a cell reaches it too.
    QObject::connect(t, &ctl::U16Table::cellEdited, &connections_,
                     [this, t](int row, int) { StoreGroupHoldCell(t, row); });
    QObject::connect(t, &QTableWidget::itemChanged, &connections_,
                     [this, t](QTableWidgetItem* item) {
                         if (item->column() == 0) {
                             StoreGroupHoldCell(t, item->row() + 1);
                         }
                     });
}

// The pages' start values become the model's (when the pages are bound):
// single writes, so that views bound earlier keep what they show.
void ParameterView::AdoptPageValues() {
    ParameterModel& m = model_;
    for (int f = 0; f < kParaFieldCount; ++f) {
        Store(static_cast<ParaField>(f));
    }
    const GroupHoldPage& g = panels_.groupHold;
    for (int r = 0; r < kTeachRows; ++r) {
        m.SetCell(r, kGroup, static_cast<uint16_t>(g.groupTable->Val(r + 1, 1)));
        m.SetCell(r, kHold, static_cast<uint16_t>(g.holdTable->Val(r + 2, 1)));
    }
}

// The row colours in the swatch columns (row = -1: every row).
void ParameterView::ShowRowColours(int row) {
    GroupHoldPage& g = panels_.groupHold;
    const int first = row < 0 ? 0 : row;
    const int last = row < 0 ? kTeachRows - 1 : row;
    for (int r = first; r <= last; ++r) {
        g.groupTable->SetCellBackground(r + 1, 2, model_.RowColour(r));
        g.holdTable->SetCellBackground(r + 2, 2, model_.RowColour(r));
    }
}

ParameterView::ParameterView(ParamPanels& panels, ParameterModel& model, ModeRules& rules)
    : panels_(panels), model_(model), rules_(rules) {
    if (panels_.para.power == nullptr || panels_.groupHold.holdTable == nullptr) {
        return; // no pages to bind
    }
    subscriptions_ += model_.valueChanged.Connect([this](ParaField f) { ShowValue(f); });
    subscriptions_ += model_.cellChanged.Connect([this](int r, TeachField f) { ShowCell(r, f); });
    subscriptions_ += model_.replaced.Connect([this] { ShowAll(); });
    subscriptions_ += model_.rowAttributesChanged.Connect([this](int row) { ShowRowColours(row); });
    ParamPanels& p = panels_;
    ParameterPage& u = p.para;
    StoreOn(u.power, &QSlider::valueChanged, kPower);
    StoreOn(u.powerValue, &ctl::U16Spin::committed, kPower); // its twin follows first
    StoreOn(u.powerMode, &QComboBox::currentIndexChanged, kPowerMode);
    StoreOn(u.ledMode, &QComboBox::currentIndexChanged, kLedMode);
    StoreOn(u.gain, &QComboBox::currentIndexChanged, kGain);
    StoreOn(u.dynWinLo, &QSpinBox::valueChanged, kDynWinLo);
    StoreOn(u.dynWinHi, &QSpinBox::valueChanged, kDynWinHi);
    StoreOn(u.average, &QSpinBox::valueChanged, kAverage);
    StoreOn(u.integral, &QSpinBox::valueChanged, kIntegral);
    StoreOn(u.maxVecNo, &QSpinBox::valueChanged, kMaxVecNo);
    StoreOn(u.digitalOutmode, &QComboBox::currentIndexChanged, kDigitalOutmode);
    StoreOn(u.intLim, &QSpinBox::valueChanged, kIntLim);
    StoreOn(u.evaluationMode, &QComboBox::currentIndexChanged, kEvaluationMode);
    // The calculation mode is stored by its callback, which converts the
    // teach table from the mode the model still holds.
    StoreOn(u.externTeach, &QComboBox::currentIndexChanged, kExternTeach);
    StoreOn(u.trigger, &QComboBox::currentIndexChanged, kTrigger);
    StoreOn(p.groupHold.colorGroup, &QCheckBox::toggled, kColorGroup);
    BindTable(p.groupHold.groupTable);
    BindTable(p.groupHold.holdTable);
    AdoptPageValues();
    ShowRowColours(-1);
}

} // namespace params
