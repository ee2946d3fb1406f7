// What the link does to the user interface and to the rest of the program,
// behind a narrow interface: the main panel implements it; tests observe it.
#pragma once

#include <cstdint>
#include <string>

namespace com232 {

class LinkUi {
public:
    virtual ~LinkUi() = default;
    // Connection status indicator of the data panel.
    virtual void ShowConnectionStatus(const std::string& text) = 0;
    virtual void SetConnectionStatusToolTip(const std::string& text) = 0;
    // Appends to the message box of the connection page.
    virtual void AppendMessage(const std::string& text) = 0;
    // Dims (or enables) ACCEPT, CHANGE BAUDRATE and the hardware-information button.
    virtual void DimLinkButtons(bool dim) = 0;
    // Brings the connection page to the front of the main tab control.
    virtual void ShowConnectionPage() = 0;
    // Reads the parameter set from the sensor into the panels.
    virtual void GetPara() = 0;
    // Offline mode.
    virtual void Disconnect() = 0;
    // Ends the program without saving the panel settings.
    virtual void QuitUserInterface(int code) = 0;

    // The connection page's effects on the other panels (by default none):
    // the data panel's link indicator (the COM port or the server address),
    virtual void ShowLinkIndicator(bool serial, const std::string& comPort,
                                   const std::string& address) {
        (void)serial, (void)comPort, (void)address;
    }
    // the sensor identification on the recorder and the big panels,
    virtual void ShowSensorId(const std::string& id) { (void)id; }
    // the transfer target FILE and SEND and GET usable (offline mode),
    virtual void SelectFileTarget() {}
    virtual void EnableTransferCommands() {}
    // the calibration factors read from the sensor into the calibration
    // page (order 102), and the factors and offsets the pages show.
    virtual void GetCalibration() {}
    virtual void CalibrationValues(uint16_t cf[3], uint16_t offsets[3]) { (void)cf, (void)offsets; }
    // Writes the hardware information file (HARDWARE INFO FILE on the
    // connection page).
    virtual void GenerateHWInfoFile() {}
};

// The interface in use; until one is installed every call does nothing.
LinkUi& Ui();
// Installs `ui` (nullptr restores the one that does nothing).
void SetLinkUi(LinkUi* ui);

} // namespace com232
