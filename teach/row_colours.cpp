#include "teach/row_colours.h"

#include "params/parameter_model.h"

namespace teach {

void ResetRowColours(params::ParameterModel& model) {
    model.ResetRowColours(/*clearTexts=*/false);
}

void PaintRowColours(params::ParameterModel& model) {
    model.rowAttributesChanged.Notify(-1);
}

} // namespace teach
