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

// The controls that show one parameter word, when it has one on the pages.
bool PagesBuilt() {
    return Panels().para.power != nullptr && Panels().groupHold.holdTable != nullptr;
}

// What the pages show of field f.
int Shown(ParaField f) {
    const ParamPanels& p = Panels();
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

void SetSpin(ctl::U16Spin* s, int v) {
    if (s->value() != v) {
        s->SetVal(v);
    }
}

// Shows field f as the model holds it. A control that cannot show the value
// (a selector without that item, a number out of its range) keeps or
// coerces it, and the model then takes what the control shows, as a SEND
// sends what the pages show.
void ShowValue(ParaField f) {
    ParamPanels& p = Panels();
    ParameterPage& u = p.para;
    const int v = Model().Value(f);
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
        Model().SetValue(f, static_cast<uint16_t>(shown));
    }
}

// Group and hold cells of teach row r.
void ShowCell(int r, TeachField f) {
    GroupHoldPage& g = Panels().groupHold;
    if (f == kGroup) {
        g.groupTable->SetVal(r + 1, 1, Model().Cell(r, kGroup));
    } else if (f == kHold) {
        g.holdTable->SetVal(r + 2, 1, Model().Cell(r, kHold));
    }
}

// The whole set: the TRIGGER list first takes the form that the
// external-teach mode allows, then every control follows.
void ShowAll() {
    ParameterPage& u = Panels().para;
    u.externTeach->SetVal(Model().Value(kExternTeach));
    InitExteach();
    for (int f = 0; f < kParaFieldCount; ++f) {
        if (f != kTrigger) {
            ShowValue(static_cast<ParaField>(f));
        }
    }
    if (!u.trigger->SetVal(Model().Value(kTrigger))) {
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
void Store(ParaField f) {
    const int shown = Shown(f);
    if (shown >= 0) {
        Model().SetValue(f, static_cast<uint16_t>(shown));
    }
}

void StoreGroupHoldCell(const ctl::U16Table* t, int row) {
    const GroupHoldPage& g = Panels().groupHold;
    if (t == g.groupTable) {
        Model().SetCell(row - 1, kGroup, static_cast<uint16_t>(t->Val(row, 1)));
    } else if (row == kHoldFailRow) {
        Model().SetValue(kHoldFail, static_cast<uint16_t>(t->Val(row, 1)));
    } else {
        Model().SetCell(row - 2, kHold, static_cast<uint16_t>(t->Val(row, 1)));
    }
}

template <class Control, class Signal>
void StoreOn(Control* c, Signal signal, ParaField f) {
    if (ctl::FirstModelBinding(c)) {
        QObject::connect(c, signal, c, [f] { Store(f); });
    }
}

void BindTable(ctl::U16Table* t) {
    if (!ctl::FirstModelBinding(t)) {
        return;
    }
    // A user edit reaches the model before the page's callback sees it; a
    // program write to a cell reaches it too.
    QObject::connect(t, &ctl::U16Table::cellEdited, t,
                     [t](int row, int) { StoreGroupHoldCell(t, row); });
    QObject::connect(t, &QTableWidget::itemChanged, t, [t](QTableWidgetItem* item) {
        if (item->column() == 0) {
            StoreGroupHoldCell(t, item->row() + 1);
        }
    });
}

// The pages' start values become the model's (once, when the pages are
// bound): single writes, so that views bound earlier keep what they show.
void AdoptPageValues() {
    ParameterModel& m = Model();
    for (int f = 0; f < kParaFieldCount; ++f) {
        Store(static_cast<ParaField>(f));
    }
    const GroupHoldPage& g = Panels().groupHold;
    for (int r = 0; r < kTeachRows; ++r) {
        m.SetCell(r, kGroup, static_cast<uint16_t>(g.groupTable->Val(r + 1, 1)));
        m.SetCell(r, kHold, static_cast<uint16_t>(g.holdTable->Val(r + 2, 1)));
    }
}

// The row colours in the swatch columns (row = -1: every row).
void ShowRowColours(int row) {
    GroupHoldPage& g = Panels().groupHold;
    const int first = row < 0 ? 0 : row;
    const int last = row < 0 ? kTeachRows - 1 : row;
    for (int r = first; r <= last; ++r) {
        g.groupTable->SetCellBackground(r + 1, 2, Model().RowColour(r));
        g.holdTable->SetCellBackground(r + 2, 2, Model().RowColour(r));
    }
}

void SubscribeOnce() {
    static bool subscribed = false;
    if (subscribed) {
        return;
    }
    subscribed = true;
    ParameterModel& m = Model();
    m.valueChanged.Subscribe([](ParaField f) {
        if (PagesBuilt()) {
            ShowValue(f);
        }
    });
    m.cellChanged.Subscribe([](int r, TeachField f) {
        if (PagesBuilt()) {
            ShowCell(r, f);
        }
    });
    m.replaced.Subscribe([] {
        if (PagesBuilt()) {
            ShowAll();
        }
    });
    m.rowAttributesChanged.Subscribe([](int row) {
        if (PagesBuilt()) {
            ShowRowColours(row);
        }
    });
}

} // namespace

void BindParameterPages() {
    if (!PagesBuilt()) {
        return;
    }
    SubscribeOnce();
    ParamPanels& p = Panels();
    ParameterPage& u = p.para;
    const bool fresh = !u.power->property("c3ModelBound").toBool();
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
    if (fresh) {
        AdoptPageValues();
        ShowRowColours(-1);
    }
}

} // namespace params
