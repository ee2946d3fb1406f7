#include "teach/row_colours.h"

#include "app/panels.h"
#include "params/parameter_layout.h"
#include "platform/widgets.h"
#include "params/row_palette.h"

namespace teach {

uint32_t RowColours[31];

void ResetRowColours() {
    for (int r = 0; r < params::kTeachRows; ++r) {
        RowColours[r] = params::DefaultRowColour(r);
    }
}

void PaintRowColours() {
    app::Panels& p = app::P();
    for (int r = 0; r < params::kTeachRows; ++r) {
        const ctl::Rgb c = RowColours[r];
        p.teachPage.grid->SetCellBackground(r + 1, 6, c);
        p.attributes.table->SetCellBackground(r + 1, 2, c);
        p.groupHold.groupTable->SetCellBackground(r + 1, 2, c);
        p.groupHold.holdTable->SetCellBackground(r + 2, 2, c);
    }
}

} // namespace teach
