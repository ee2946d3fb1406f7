#include "params/parameter_file.h"

#include "platform/popups.h"

namespace params {

// Parameter files are not written or read by this version of the program;
// the user is told so instead of nothing happening.
void SendParaToFile() {
    platform::MessagePopup("ATTENTION!", "Parameter files are not supported by this version.");
}

void ReadParaFromFile() {
    platform::MessagePopup("ATTENTION!", "Parameter files are not supported by this version.");
}

} // namespace params
