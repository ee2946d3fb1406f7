// transitional: the parameter subsystem's free functions for code not yet
// given its sensor's parts and its window's views. They work on the program's
// parts and views; removed once every folder gets its own.
#include "link/program_link.h"
#include "params/param_views.h"
#include "params/parameter_model.h"
#include "params/parameter_set.h"

namespace params {

void SendPara() {
    SendPara(com232::ProgramLink(), Model(), Transfer());
}

void GetPara() {
    GetPara(com232::ProgramLink(), Model(), Transfer());
}

void InitPanelCtrlAttr() {
    if (ParamViews* v = ProgramViews()) {
        v->rules.InitPanelCtrlAttr();
    }
}

int CBF_EditCalcmode(QWidget* control, ctl::Event event) {
    ParamViews* v = ProgramViews();
    return v != nullptr ? v->callbacks.CBF_EditCalcmode(control, event) : 0;
}

const ParameterBlockBytes& ParameterBlock = Model().Block();
const TeachTableBytes& TeachTable = Model().Table();

void ResetParameterSet() {
    Model().Reset();
}

} // namespace params
