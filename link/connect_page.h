// The connection page: link settings, connect, offline mode, baud-rate
// change and the history of server addresses.
#pragma once

#include "link/port_text.h"
#include "platform/controls.h"

#include <string>
#include <vector>

namespace conn {

constexpr int kAddressHistoryMax = 10;

// The port-number text of the connection page.
extern std::string PortText;

void InitConnectPanel();
// Dims (or enables) ACCEPT, CHANGE BAUDRATE and the hardware-information button.
void DimLinkButtons(bool dim);
// Reads the protocol, COM-port and baud-rate selectors, the address field and
// the port-number field into the link settings and PortText.
void ReadConnectionControls();
// Shows a baud-rate index; one the selector does not offer shows 115200 (index 4).
void SetBaudrateSelector(int index);
void TryToConnect();
void Disconnect();
void ChangeBaudrate();

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

int CBF_ButtonTryToConnect(QWidget*, ctl::Event);
int CBF_ButtonDisconnect(QWidget*, ctl::Event);
int CBF_ButtonAccept(QWidget*, ctl::Event);
int CBF_ButtonChangeBaudrate(QWidget*, ctl::Event);
int CBF_ButtonGenHwInfoFile(QWidget*, ctl::Event);
int CBF_EditCommunicationProtocol(QWidget*, ctl::Event);
int CBF_EditSelectComPort(QWidget*, ctl::Event);
int CBF_EditSelectBaudrate(QWidget*, ctl::Event);
int CBF_StringIpAdress(QWidget*, ctl::Event);
int CBF_StringPortNumber(QWidget*, ctl::Event);
int CBF_EditID(QWidget*, ctl::Event);
int CBF_DispStatus(QWidget*, ctl::Event);

// Gives every control of the page its help text and callback.
void WireConnectPage();

inline constexpr const char* kTextTryToConnect = "TRY TO CONNECT!";
inline constexpr const char* kTextNoSensor = "NO SENSOR CONNECTED!";

} // namespace conn
