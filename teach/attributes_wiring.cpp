#include "teach/attributes_wiring.h"

#include "platform/controls.h"
#include "platform/widgets.h"
#include "teach/attributes.h"
#include "teach/teach_ui.h"
#include "teach/teach_view.h"

#include <QPushButton>

namespace teach {

void WireAttributesPage() {
    BindAttributesPage();
    AttributesPage& ui = Panels().attributes;
    const char* title = ctl::kAttrInfoTitle;
    ctl::Bind(ui.colorMode,
              "Set mode for the row indicator colors. \n\nManually: Indicator colors can be set "
              "manually. \n\nAutomatically: Indicator colors will be set automatically, "
              "\naccording to the color detected from the sensor.",
              CBF_EditSetColor, title);
    ctl::Bind(ui.row, "Select a row, which should be set.", CBF_EditRow, title);
    ctl::Bind(ui.color, "Select a indicator color.", CBF_EditColorNumericRow, title);
    ctl::Bind(ui.setColor, "Assign selected color to row.", CBF_ButtonSetRowColor, title);
    ctl::Bind(ui.save,
              "Indicator colors and row specifications \nwill be saved to a selectable file. "
              "\nAttention! The table attributes will be stored \nat the hard disk and NOT in the "
              "sensor.",
              CBF_ButtonSaveArray, title);
    ctl::Bind(ui.load,
              "Indicator colors and row specifications will be \nread from a selectable file from "
              "the hard disk \nand assigned to the teach table and specification table.",
              CBF_ButtonGetArray, title);
    ctl::Bind(ui.reset, "Set default row colors.", CBF_ButtonTableAttrReset, title);
    // Every help popup of this page carries the page's own title.
    ctl::Bind(ui.temp, "Displays actual temperature in the sensor.", {}, title);
}

} // namespace teach
