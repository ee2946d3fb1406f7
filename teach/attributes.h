// The table-attributes page: row indicator colours set by hand or taken
// from the measured colour, row texts, and their file. The attribute table
// shows the parameter model's row colours and texts, and a typed text goes
// into the model at once.
#pragma once

#include <functional>

#include "inifile/ini_store.h"
#include "platform/controls.h"
#include "platform/notifier.h"
#include "teach/teach_ui.h"

#include <QObject>

namespace live {
struct DataPanel;
}
namespace params {
class ParameterModel;
}

namespace teach {

// Puts the 31 row sections (the model's row colours and row texts) into an
// open store.
void AppendTableSetToIniHandle(const params::ParameterModel& model, ini::IniStore* store);
// Reads the 31 row sections into the model's row colours and row texts;
// with showPopup 1 rows whose colour could not be read are listed in a
// popup.
void AcquireTableSetFromIniHandle(params::ParameterModel& model, ini::IniStore* store,
                                  int showPopup);

class AttributesView {
public:
    // `initGraphs` draws the window's graphs anew in the rows' colours.
    AttributesView(AttributesPage& page, live::DataPanel& data, params::ParameterModel& model,
                   std::function<void()> initGraphs);
    AttributesView(const AttributesView&) = delete;
    AttributesView& operator=(const AttributesView&) = delete;

    // Save and load through a file dialog.
    void SaveTableSettings();
    void GetTableSettings();
    // Gives the row in the row selector the colour of the colour field.
    void SetRowColor();
    // Manually: colour controls usable, colour patch of the data panel
    // hidden; Automatically: the reverse.
    void InitSrcPanel();

    int CBF_EditSetColor(QWidget*, ctl::Event);
    int CBF_EditRow(QWidget*, ctl::Event);
    int CBF_EditColorNumericRow(QWidget*, ctl::Event);
    int CBF_ButtonSetRowColor(QWidget*, ctl::Event);
    int CBF_ButtonSaveArray(QWidget*, ctl::Event);
    int CBF_ButtonGetArray(QWidget*, ctl::Event);
    int CBF_ButtonTableAttrReset(QWidget*, ctl::Event);

private:
    void BindToModel();
    void Wire();
    void ShowRowAttributes(int row);

    AttributesPage& page_;
    live::DataPanel& data_;
    params::ParameterModel& model_;
    std::function<void()> initGraphs_;
    platform::Subscriptions subscriptions_;
    // The context of the view's Qt connections: they end with the view.
    QObject connections_;
};

} // namespace teach
