#include "app/panel_parameters.h"

#include "app/panels.h"
#include "live/live_params.h"
#include "params/parameter_set.h"
#include "platform/widgets.h"
#include "teach/row_colours.h"

namespace app {
namespace {

class PanelParameters final : public live::ParameterReader {
public:
    uint16_t CalculationMode() const override {
        if (!PanelsLoaded()) {
            return params::ParameterBlock.get(params::kCalculationMode);
        }
        return static_cast<uint16_t>(P().para.calculationMode->Val());
    }
    uint16_t EvaluationMode() const override {
        return params::ParameterBlock.get(params::kEvaluationMode);
    }
    const params::TeachTableBytes& Table() const override { return params::TeachTable; }
    live::IntensityOfRow SelectedRowBand() const override {
        live::IntensityOfRow band{};
        if (PanelsLoaded()) {
            // The band of the row in the No. field, as the teach grid shows it.
            Panels& p = P();
            const int row = p.teachPage.rowNo->value() + 1;
            const bool is3D = params::Is3D(CalculationMode());
            band.centre = static_cast<uint16_t>(p.teachPage.grid->Val(row, is3D ? 3 : 4));
            band.tolerance = static_cast<uint16_t>(p.teachPage.grid->Val(row, is3D ? 4 : 5));
        }
        return band;
    }
    uint32_t RowColour(int row) const override { return teach::RowColours[row]; }
};

const PanelParameters gPanelParameters{};

} // namespace

void InstallPanelParameters() {
    live::SetParameterReader(&gPanelParameters);
}

void RemovePanelParameters() {
    live::SetParameterReader(nullptr);
}

} // namespace app
