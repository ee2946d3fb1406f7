#include "live/int_band.h"

#include "live/live_math.h"
#include "live/live_ui.h"
#include "params/parameter_model.h"
#include "platform/graph.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"

namespace live {
namespace {

constexpr ctl::Rgb kBandColour = 0x408080;

} // namespace

void InitGraphInt2() {
    if (!shell::Shell().PanelsLoaded()) {
        return;
    }
    const params::ParameterModel& m = params::Model();
    const uint16_t mode = m.CalculationMode();
    const int row = m.TeachRowNo();
    const bool is3D = params::Is3D(mode);
    const uint16_t centre = m.Cell(row, is3D ? params::kCell2 : params::kCell3);
    const uint16_t tolerance = m.Cell(row, is3D ? params::kCell3 : params::kCell4);
    const Band band = IntensityBarBand(centre, tolerance);

    ctl::Graph* bar = Panels().data.intensityBar;
    bar->DeleteAllPlots();
    auto* rect = new QCPItemRect(bar);
    rect->topLeft->setCoords(band.lo, 100);
    rect->bottomRight->setCoords(band.hi, 0);
    rect->setPen(QPen(ctl::ToQColor(kBandColour)));
    rect->setBrush(QBrush(ctl::ToQColor(kBandColour)));
    rect->setSelectable(false);
    // M is shown up to 1200, the other intensities up to the converter's range.
    bar->SetXRange(0, params::IsSiM(mode) ? 1200 : 4096);
    bar->MarkDirty();
}

} // namespace live
