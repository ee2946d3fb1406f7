#include "params/parameter_set.h"

#include "params/parameter_model.h"

namespace params {

const ParameterBlockBytes& ParameterBlock = Model().Block();
const TeachTableBytes& TeachTable = Model().Table();

void ResetParameterSet() {
    Model().Reset();
}

} // namespace params
