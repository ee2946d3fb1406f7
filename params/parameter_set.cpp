#include "params/parameter_set.h"

#include "app/panels.h"
#include "params/mode_rules.h"
#include "platform/widgets.h"

#include <QCheckBox>

namespace params {

ParameterBlockBytes ParameterBlock;
TeachTableBytes TeachTable;

namespace {

constexpr int kCells = 5;

uint16_t U16(int v) {
    return static_cast<uint16_t>(v);
}

} // namespace

void ResetParameterSet() {
    ParameterBlock = ParameterBlockBytes{};
    TeachTable = TeachTableBytes{};
}

void GetPanelValues() {
    app::Panels& p = app::P();
    const ParameterPage& u = p.para;
    ParameterBlockBytes& b = ParameterBlock;
    b.set(kPower, U16(u.power->value()));
    b.set(kPowerMode, U16(u.powerMode->Val()));
    b.set(kAverage, U16(u.average->value()));
    b.set(kEvaluationMode, U16(u.evaluationMode->Val()));
    b.set(kHoldFail, U16(p.groupHold.holdTable->Val(1, 1)));
    b.set(kIntLim, U16(u.intLim->value()));
    b.set(kMaxVecNo, U16(u.maxVecNo->value()));
    b.set(kDigitalOutmode, U16(u.digitalOutmode->Val()));
    b.set(kTrigger, U16(u.trigger->Val()));
    b.set(kExternTeach, U16(u.externTeach->Val()));
    b.set(kCalculationMode, U16(u.calculationMode->Val()));
    b.set(kDynWinLo, U16(u.dynWinLo->value()));
    b.set(kDynWinHi, U16(u.dynWinHi->value()));
    b.set(kColorGroup, p.groupHold.colorGroup->isChecked() ? 1 : 0);
    b.set(kLedMode, U16(u.ledMode->Val()));
    b.set(kGain, U16(u.gain->Val()));
    b.set(kIntegral, U16(u.integral->value()));
    for (int r = 0; r < kTeachRows; ++r) {
        TeachTable.set(r, kGroup, U16(p.groupHold.groupTable->Val(r + 1, 1)));
        TeachTable.set(r, kHold, U16(p.groupHold.holdTable->Val(r + 2, 1)));
        for (int c = 0; c < kCells; ++c) {
            TeachTable.set(r, static_cast<TeachField>(c), U16(p.teachPage.grid->Val(r + 1, c + 1)));
        }
    }
}

void SetPanelValues() {
    app::Panels& p = app::P();
    const ParameterPage& u = p.para;
    const ParameterBlockBytes& b = ParameterBlock;
    // The TRIGGER list first takes the form that the external-teach mode allows.
    u.externTeach->SetVal(b.get(kExternTeach));
    InitExteach(/*keepBlockTrigger=*/true);

    u.power->SetVal(b.get(kPower));
    u.powerValue->SetVal(u.power->value());
    u.powerMode->SetVal(b.get(kPowerMode));
    u.average->SetVal(b.get(kAverage));
    u.evaluationMode->SetVal(b.get(kEvaluationMode));
    p.groupHold.holdTable->SetVal(1, 1, b.get(kHoldFail));
    u.intLim->SetVal(b.get(kIntLim));
    u.maxVecNo->SetVal(b.get(kMaxVecNo));
    u.digitalOutmode->SetVal(b.get(kDigitalOutmode));
    if (!u.trigger->SetVal(b.get(kTrigger))) {
        // an item the cut list no longer has
        u.trigger->SetVal(kTrigCont);
    }
    u.externTeach->SetVal(b.get(kExternTeach));
    u.calculationMode->SetVal(b.get(kCalculationMode));
    u.dynWinLo->SetVal(b.get(kDynWinLo));
    u.dynWinHi->SetVal(b.get(kDynWinHi));
    {
        QSignalBlocker block(p.groupHold.colorGroup);
        p.groupHold.colorGroup->setChecked(b.get(kColorGroup) != 0);
    }
    u.ledMode->SetVal(b.get(kLedMode));
    u.gain->SetVal(b.get(kGain));
    u.integral->SetVal(b.get(kIntegral));
    for (int r = 0; r < kTeachRows; ++r) {
        p.groupHold.groupTable->SetVal(r + 1, 1, TeachTable.get(r, kGroup));
        p.groupHold.holdTable->SetVal(r + 2, 1, TeachTable.get(r, kHold));
        for (int c = 0; c < kCells; ++c) {
            p.teachPage.grid->SetVal(r + 1, c + 1, TeachTable.get(r, static_cast<TeachField>(c)));
        }
    }
}

} // namespace params
