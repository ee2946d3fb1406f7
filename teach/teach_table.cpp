#include "teach/teach_table.h"

#include "app/panels.h"
#include "params/parameter_set.h"
#include "platform/widgets.h"
#include "teach/teach_convert.h"

namespace teach {

void SortTableTolerance() {
    using params::ParameterBlock;
    using params::TeachTable;
    const uint16_t oldMode = ParameterBlock.get(params::kCalculationMode);
    params::GetPanelValues();
    const uint16_t newMode = ParameterBlock.get(params::kCalculationMode);
    ConvertTable(oldMode, newMode, &TeachTable);
    ctl::U16Table* grid = app::P().teachPage.grid;
    for (int r = 0; r < params::kTeachRows; ++r) {
        for (int c = 0; c < 5; ++c) {
            grid->SetVal(r + 1, c + 1, TeachTable.get(r, static_cast<params::TeachField>(c)));
        }
    }
}

} // namespace teach
