#include "params/teach_convert.h"

#include "params/parameter_model.h"

namespace params {

void ConvertRow(uint16_t oldMode, uint16_t newMode, uint16_t cells[5]) {
    const bool was3D = Is3D(oldMode);
    const bool is3D = Is3D(newMode);
    const bool known = oldMode <= kSiM3D && newMode <= kSiM3D;
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

void ConvertTable(uint16_t oldMode, uint16_t newMode, TeachTableBytes* table) {
    for (int r = 0; r < kTeachRows; ++r) {
        uint16_t cells[5];
        for (int c = 0; c < 5; ++c) {
            cells[c] = table->get(r, static_cast<TeachField>(c));
        }
        ConvertRow(oldMode, newMode, cells);
        for (int c = 0; c < 5; ++c) {
            table->set(r, static_cast<TeachField>(c), cells[c]);
        }
    }
}

void SortTableTolerance(ParameterModel& model, uint16_t newMode) {
    TeachTableBytes table = model.Table();
    ConvertTable(model.CalculationMode(), newMode, &table);
    model.BeginBatch();
    model.ReplaceTable(table);
    model.SetValue(kCalculationMode, newMode);
    model.EndBatch();
}

} // namespace params
