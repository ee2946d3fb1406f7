#include "params/parameter_layout.h"

namespace params {

const ParaFieldInfo kParaFieldInfo[kParaFieldCount] = {
    {"POWER", 500, "POWER\n"},
    {"POWER MODE", 0, "POWER MODE\n"},
    {"AVERAGE", 1, "AVERAGE\n"},
    {"EVALUATION MODE", 1, "EVALUATION MODE\n"},
    {"HOLD FAIL", 10, "HOLD FAIL\n"},
    {"INTLIM", 0, "INTLIM\n"},
    {"MAX VEC NO", 1, "MAX VEC NO\n"},
    {"DIGITAL OUTMODE", 0, "DIGITAL OUTMODE\n"},
    {"TRIGGER", 0, "TRIGGER\n"},
    {"EXTERN TEACH", 0, "EXTEACH\n"},
    {"CALCULATION MODE", 0, "CALCULATION MODE\n"},
    {"DYNWIN LO", 3200, "DYNWIN LO\n"},
    {"DYNWIN HI", 3300, "DYNWIN HI\n"},
    {"COLOR GROUP", 0, "COLOR GROUP\n"},
    {"LED MODE", 0, "LED MODE\n"},
    {"GAIN", 5, "GAIN\n"},
    {"INTEGRAL", 1, "INTEGRAL\n"},
};

ParameterBlockBytes DefaultParameterBlock() {
    ParameterBlockBytes b;
    for (int f = 0; f < kParaFieldCount; ++f) {
        b.set(static_cast<ParaField>(f), kParaFieldInfo[f].fileDefault);
    }
    return b;
}

} // namespace params
