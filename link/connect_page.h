// The connection page: link settings, connect, offline mode, baud-rate
// change, the history of server addresses, and the message box in which the
// link's reports appear.
#pragma once

#include "link/connect_page_ui.h"
#include "link/connect_test.h"
#include "link/find_sensors_view.h"
#include "link/port_text.h"
#include "platform/controls.h"
#include "platform/notifier.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace com232 {
class SensorLink;
}

namespace conn {

constexpr int kAddressHistoryMax = 10;

inline constexpr const char* kTextTryToConnect = "TRY TO CONNECT!";
inline constexpr const char* kTextNoSensor = "NO SENSOR CONNECTED!";

// What the connection page does to the rest of the window; the window gives
// these when it builds the page.
struct ConnectHooks {
    // The data panel's connection status indicator and its tool tip.
    std::function<void(const std::string&)> showConnectionStatus;
    std::function<void(const std::string&)> setConnectionStatusToolTip;
    // The data panel's link indicator (the COM port or the server address).
    std::function<void(bool serial, const std::string& comPort, const std::string& address)>
        showLinkIndicator;
    // The sensor identification on the recorder and the big panels.
    std::function<void(const std::string&)> showSensorId;
    // Reads the parameter set from the sensor into the panels.
    std::function<void()> getPara;
    // Offline mode: the transfer target FILE, SEND and GET usable.
    std::function<void()> selectFileTarget;
    std::function<void()> enableTransferCommands;
    // Writes the hardware information file (HARDWARE INFO FILE).
    std::function<void()> generateHWInfoFile;
    // Ends the program without saving the panel settings (CLOSE).
    std::function<void()> quit;
};

class ConnectView {
public:
    // Binds the page's controls and shows what `link` reports in the message
    // box (a failure also as "TIMEOUT!", with the link buttons dimmed and
    // the page in front).
    ConnectView(LinkPanels& panels, com232::SensorLink& link, ConnectHooks hooks);
    ~ConnectView();
    ConnectView(const ConnectView&) = delete;
    ConnectView& operator=(const ConnectView&) = delete;

    // The port-number text of the page.
    std::string PortText = "10001";

    void InitConnectPanel();
    // Dims (or enables) ACCEPT, CHANGE BAUDRATE and the hardware-information button.
    void DimLinkButtons(bool dim);
    // Reads the protocol, COM-port and baud-rate selectors, the address field
    // and the port-number field into the link settings and PortText.
    void ReadConnectionControls();
    // Shows a baud-rate index; one the selector does not offer shows 115200 (index 4).
    void SetBaudrateSelector(int index);
    void TryToConnect();
    void Disconnect();
    void ChangeBaudrate();
    // Appends to the message box.
    void AppendMessage(const std::string& text);

    // The COM-port selector: the ports present, and any typed number.
    void FillComPortSelector();
    int ComPortFromSelector();
    void SetComPortSelector(int comPort);

    // Address history, newest first.
    std::vector<std::string> AddressHistory();
    void AppendAddressHistory(const std::string& address); // at the end (restoring)
    void UpdateAddressHistory(const std::string& address); // to the top, no duplicates, at most 10

    // Copies the ID text to the recorder page and the big panels.
    void ShowSensorId(const std::string& id);

    // A first start (no settings file yet): a failed connection points the
    // user at FIND SENSORS, until a connection has succeeded.
    void SetFirstStart(bool firstStart) { firstStart_ = firstStart; }
    // FIND SENSORS of the page.
    FindSensorsView& Finder() { return *finder_; }
    // Sets the link controls to a sensor found and connects to it as TRY TO
    // CONNECT does.
    void ConnectFound(const com232::SearchResult& found);

    void CBF_ButtonTryToConnect(QWidget*, ctl::Event);
    void CBF_ButtonDisconnect(QWidget*, ctl::Event);
    void CBF_ButtonAccept(QWidget*, ctl::Event);
    void CBF_ButtonChangeBaudrate(QWidget*, ctl::Event);
    void CBF_ButtonGenHwInfoFile(QWidget*, ctl::Event);
    void CBF_EditCommunicationProtocol(QWidget*, ctl::Event);
    void CBF_EditSelectComPort(QWidget*, ctl::Event);
    void CBF_EditSelectBaudrate(QWidget*, ctl::Event);
    void CBF_StringIpAdress(QWidget*, ctl::Event);
    void CBF_StringPortNumber(QWidget*, ctl::Event);
    void CBF_EditID(QWidget*, ctl::Event);
    void CBF_DispStatus(QWidget*, ctl::Event);

private:
    ConnectPage& Page() { return panels_.connect; }
    // Gives every control of the page its help text and callback.
    void Wire();
    com232::ConnectionTestUi TestUi();

    LinkPanels& panels_;
    com232::SensorLink& link_;
    ConnectHooks hooks_;
    bool firstStart_ = false;
    std::unique_ptr<FindSensorsView> finder_;
    platform::Subscriptions subscriptions_;
};

} // namespace conn
