#include "teach/row_colours.h"

#include "params/parameter_model.h"

namespace teach {

const RowColourTable RowColours;

uint32_t RowColourTable::operator[](int row) const {
    return params::Model().RowColour(row);
}

void ResetRowColours() {
    params::Model().ResetRowColours(/*clearTexts=*/false);
}

void PaintRowColours() {
    params::Model().rowAttributesChanged.Notify(-1);
}

} // namespace teach
