#include "live/live_params.h"

#include "params/parameter_model.h"

namespace live {
namespace {

const ParameterReader gModelReader{};
const ParameterReader* gReader = &gModelReader;

} // namespace

uint16_t ParameterReader::CalculationMode() const {
    return params::Model().CalculationMode();
}

uint16_t ParameterReader::EvaluationMode() const {
    return params::Model().EvaluationMode();
}

const params::TeachTableBytes& ParameterReader::Table() const {
    return params::Model().Table();
}

IntensityOfRow ParameterReader::SelectedRowBand() const {
    const params::ParameterModel& m = params::Model();
    return IntensityOf(m.Table(), m.TeachRowNo(), m.CalculationMode());
}

uint32_t ParameterReader::RowColour(int row) const {
    return params::Model().RowColour(row);
}

const ParameterReader& Parameters() {
    return *gReader;
}

void SetParameterReader(const ParameterReader* reader) {
    gReader = reader != nullptr ? reader : &gModelReader;
}

} // namespace live
