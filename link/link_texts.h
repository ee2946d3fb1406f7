// Messages of the sensor link, exactly as the user sees them.
#pragma once

namespace com232 {

inline constexpr const char* kTextTimeout = "TIMEOUT!";
inline constexpr const char* kTextNoAnswer =
    "TIMEOUT! \nNO DATA RECEIVED! \nCOMMUNICATION ERROR! \nCHECK POWER SUPPLY AND COM SETTINGS. "
    "\nTRY TO CONNECT AGAIN!";
inline constexpr const char* kTextBadHeader = "ATTENTION! \nRECEIVED HEADER FRAME IS INCORRECT!";
inline constexpr const char* kTextBadData = "ATTENTION! \nRECEIVED DATA FRAME IS INCORRECT!";
inline constexpr const char* kTextInvalidOrder =
    "INVALIDE ORDER NUMBER!\nVERIFY PC AND SENSOR SOFTWARE!";
inline constexpr const char* kTextCommunicationError =
    "COMMUNICATION ERROR!\nYOU MAY HAVE TO REDUCE BAUDRATE!";
inline constexpr const char* kTextServerClosed = "SERVER HAS CLOSED CONNECTION!";
inline constexpr const char* kTextConnectionLost =
    "CONNECTION LOST! \nTHE SENSOR'S NETWORK DID NOT ANSWER. \nTRY TO CONNECT AGAIN!";
inline constexpr const char* kTextCouldNotConnect =
    "Could not establish connection! \nClose window or work in offline mode!";
inline constexpr const char* kTextFirstStartFind =
    "FIRST START? \nTO FIND THE SENSOR, CHOOSE OFFLINE AND PRESS FIND SENSORS ON THIS PAGE: \nIT "
    "SEARCHES THE SERIAL PORTS AT EVERY BAUDRATE, AND A TCP RANGE IF TYPED.\n\n";
inline constexpr const char* kTextLinkBusy =
    "ATTENTION! \nANOTHER TRANSFER IS STILL RUNNING! \nTHE REQUEST WAS NOT SENT.";

// Text of an RS-232 open error code.
const char* Rs232ErrorText(int code);
// Text of a TCP connect error code.
const char* TcpErrorText(int code);

} // namespace com232
