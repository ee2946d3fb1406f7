// The connection test: identify the sensor with order 7, check that its
// firmware version is the one this program was made for and read the
// parameter set; and the CLOSE/OFFLINE question when any of it fails.
#include "link/com232.h"
#include "link/connect_test.h"
#include "link/identify.h"
#include "link/link_texts.h"
#include "link/link_ui.h"
#include "link/sensor_id.h"
#include "platform/popups.h"

#include <cstring>

namespace com232 {
namespace {

constexpr size_t kIdTextSize = 72;

} // namespace

void AskCloseOrOffline(const std::string& message) {
    const int choice = platform::GenericMessagePopup("ATTENTION!", message, "CLOSE", "OFFLINE");
    if (choice == 1) {
        Ui().QuitUserInterface(0);
    } else {
        Ui().Disconnect();
    }
}

SensorIdentity IdentifySensor(SensorLink& link) {
    SensorIdentity identity;
    link.FillTxBuf(kOrderIdentify, 0, 0);
    if (link.DataExchange(static_cast<int>(kHeaderSize)) != 1) {
        return identity;
    }
    identity.answered = true;
    identity.serialNumber = link.AnswerParam;
    const char* id = reinterpret_cast<const char*>(link.RxData());
    link.SensorIdText.assign(id, strnlen(id, kIdTextSize));
    identity.parts = SplitSensorId(link.SensorIdText);
    identity.versionMatches = identity.parts.Version() == kScopeFirmwareVersion;
    return identity;
}

std::string FirmwareMismatchText(const SensorIdentity& identity) {
    return "Sensor firmware and scope version do not match! \nFirmware of connected sensor is: " +
           identity.parts.Version() +
           "\nThe serial number is: " + std::to_string(identity.serialNumber);
}

void CheckComLine(SensorLink& link) {
    const SensorIdentity identity = IdentifySensor(link);
    if (!identity.answered) {
        AskCloseOrOffline(kTextCouldNotConnect);
        return;
    }
    Ui().SetConnectionStatusToolTip(link.SensorIdText);
    if (identity.versionMatches) {
        Ui().ShowConnectionStatus(identity.parts.Display());
        Ui().AppendMessage(identity.parts.Display() +
                           "\nSERIAL NUMBER: " + std::to_string(identity.serialNumber) + "\n\n");
        link.LinkOk = 1;
        Ui().GetPara();
        if (link.LinkOk != 1) {
            // A sensor whose parameters cannot be read is no more usable than
            // one that does not answer: the failure is in the message box,
            // the user chooses between ending and working offline.
            AskCloseOrOffline(kTextCouldNotConnect);
            return;
        }
        Ui().DimLinkButtons(false);
        return;
    }
    AskCloseOrOffline(FirmwareMismatchText(identity) + "\n\nClose window or work in offline mode!");
}

} // namespace com232
