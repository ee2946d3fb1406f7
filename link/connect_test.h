// The connection test with the user's choice: identify the sensor, check
// its firmware, read its parameter set; any failure ends in the
// CLOSE/OFFLINE question. For the program's window, through its LinkUi.
#pragma once

#include <string>

namespace com232 {

class SensorLink;

void CheckComLine(SensorLink& link);

// The question after a failed connection: CLOSE ends the program, OFFLINE
// goes into offline mode.
void AskCloseOrOffline(const std::string& message);

} // namespace com232
