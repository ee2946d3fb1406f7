#include "teach/int_band.h"

#include "app/panels.h"
#include "live/live_math.h"
#include "params/parameter_layout.h"
#include "platform/graph.h"
#include "platform/widgets.h"

namespace teach {
namespace {

constexpr ctl::Rgb kBandColour = 0x408080;

} // namespace

void InitGraphInt2() {
    if (!app::PanelsLoaded()) {
        return;
    }
    app::Panels& p = app::P();
    const auto mode = static_cast<uint16_t>(p.para.calculationMode->Val());
    const int row = p.teachPage.rowNo->value() + 1;
    const bool is3D = params::Is3D(mode);
    const auto centre = static_cast<uint16_t>(p.teachPage.grid->Val(row, is3D ? 3 : 4));
    const auto tolerance = static_cast<uint16_t>(p.teachPage.grid->Val(row, is3D ? 4 : 5));
    const live::Band band = live::IntensityBarBand(centre, tolerance);

    ctl::Graph* bar = p.data.intensityBar;
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

} // namespace teach
