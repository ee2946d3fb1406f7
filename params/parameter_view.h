// The parameter page and the group/hold page as views of the parameter
// model: every edit goes into the model at once, and every change of the
// model (a word, a group or hold cell, the whole set) shows on the pages.
#pragma once

#include "params/parameter_layout.h"
#include "platform/notifier.h"

#include <QObject>

namespace ctl {
class U16Table;
}

namespace params {

struct ParamPanels;
class ParameterModel;
class ModeRules;

// Binds one window's pages to the model for as long as it lives; the
// pages' start values become the model's when it is made.
class ParameterView {
public:
    ParameterView(ParamPanels& panels, ParameterModel& model, ModeRules& rules);
    ParameterView(const ParameterView&) = delete;
    ParameterView& operator=(const ParameterView&) = delete;

private:
    int Shown(ParaField f) const;
    void ShowValue(ParaField f);
    void ShowCell(int r, TeachField f);
    void ShowAll();
    void Store(ParaField f);
    void StoreGroupHoldCell(const ctl::U16Table* t, int row);
    template <class Control, class Signal>
    void StoreOn(Control* c, Signal signal, ParaField f);
    void BindTable(ctl::U16Table* t);
    void AdoptPageValues();
    void ShowRowColours(int row);

    ParamPanels& panels_;
    ParameterModel& model_;
    ModeRules& rules_;
    platform::Subscriptions subscriptions_;
    // The context of the controls' connections: they end with the view.
    QObject connections_;
};

} // namespace params
