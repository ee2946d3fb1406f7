// The connection test with the user's choice: identify the sensor, check its
// firmware, read its parameter set; any failure ends in the CLOSE/OFFLINE
// question. What it does to the window goes through the functions given.
#pragma once

#include <functional>
#include <string>

namespace com232 {

class SensorLink;

struct ConnectionTestUi {
    // The data panel's status indicator and its tool tip.
    std::function<void(const std::string&)> showStatus;
    std::function<void(const std::string&)> setStatusToolTip;
    // The connection page's message box.
    std::function<void(const std::string&)> appendMessage;
    // Reads the parameter set from the sensor into the panels.
    std::function<void()> getPara;
    // Dims (or enables) ACCEPT, CHANGE BAUDRATE and the hardware-information button.
    std::function<void(bool)> dimLinkButtons;
    // The answers to the question: CLOSE ends the program, OFFLINE goes into
    // offline mode.
    std::function<void()> close;
    std::function<void()> offline;
    // Called before the question is asked, when given.
    std::function<void()> beforeQuestion;
};

void CheckComLine(SensorLink& link, const ConnectionTestUi& ui);

// The question after a failed connection.
void AskCloseOrOffline(const std::string& message, const ConnectionTestUi& ui);

} // namespace com232
