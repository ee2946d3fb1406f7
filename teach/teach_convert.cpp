#include "teach/teach_convert.h"

namespace teach {

void ConvertRow(uint16_t oldMode, uint16_t newMode, uint16_t cells[5]) {
    const bool was3D = params::Is3D(oldMode);
    const bool is3D = params::Is3D(newMode);
    const bool known = oldMode <= params::kSiM3D && newMode <= params::kSiM3D;
    if (!known || was3D == is3D) {
        return;
    }
    if (!was3D) {
        const uint16_t cto = cells[2];
        cells[2] = cells[3]; // intensity centre
        cells[3] = cto;      // the colour tolerance becomes TOL
        cells[4] = 1;        // the intensity tolerance is dropped
    } else {
        const uint16_t intensity = cells[2];
        const uint16_t tol = cells[3];
        cells[2] = tol;
        cells[3] = intensity;
        cells[4] = tol;
    }
}

void ConvertTable(uint16_t oldMode, uint16_t newMode, params::TeachTableBytes* table) {
    for (int r = 0; r < params::kTeachRows; ++r) {
        uint16_t cells[5];
        for (int c = 0; c < 5; ++c) {
            cells[c] = table->get(r, static_cast<params::TeachField>(c));
        }
        ConvertRow(oldMode, newMode, cells);
        for (int c = 0; c < 5; ++c) {
            table->set(r, static_cast<params::TeachField>(c), cells[c]);
        }
    }
}

} // namespace teach
