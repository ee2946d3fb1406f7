// What the live displays read of the parameter set: the calculation and
// evaluation modes, the teach table the graphs draw, the band of the
// selected teach row and the row colours. The parameter model answers by
// default; the application may install another reader for the same
// questions (for instance while panels still hold edits the model has not
// taken yet).
#pragma once

#include "live/live_math.h"
#include "params/parameter_layout.h"

#include <cstdint>

namespace live {

class ParameterReader {
public:
    virtual ~ParameterReader() = default;
    virtual uint16_t CalculationMode() const;
    virtual uint16_t EvaluationMode() const;
    virtual const params::TeachTableBytes& Table() const;
    // Intensity and tolerance of the teach row selected for teaching.
    virtual IntensityOfRow SelectedRowBand() const;
    // Indicator colour 0x00RRGGBB of teach row 0..30.
    virtual uint32_t RowColour(int row) const;
};

// The reader in use.
const ParameterReader& Parameters();
// Installs `reader` (nullptr restores the parameter model's).
void SetParameterReader(const ParameterReader* reader);

} // namespace live
