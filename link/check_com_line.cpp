// The connection test: identify the sensor with order 7, check that its
// firmware version is the one this program was made for and read the
// parameter set; and the CLOSE/OFFLINE question when any of it fails.
#include "link/com232.h"
#include "link/connect_test.h"
#include "link/identify.h"
#include "link/link_texts.h"
#include "link/sensor_id.h"
#include "platform/popups.h"

#include <cstring>

namespace com232 {
namespace {

constexpr size_t kIdTextSize = 72;

} // namespace

void AskCloseOrOffline(const std::string& message, const ConnectionTestUi& ui) {
    if (ui.beforeQuestion) {
        ui.beforeQuestion();
    }
    const int choice = platform::GenericMessagePopup("ATTENTION!", message, "CLOSE", "OFFLINE");
    if (choice == 1) {
        ui.close();
    } else {
        ui.offline();
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

void CheckComLine(SensorLink& link, const ConnectionTestUi& ui) {
    const SensorIdentity identity = IdentifySensor(link);
    if (!identity.answered) {
        AskCloseOrOffline(kTextCouldNotConnect, ui);
        return;
    }
    ui.setStatusToolTip(link.SensorIdText);
    if (identity.versionMatches) {
        ui.showStatus(identity.parts.Display());
        ui.appendMessage(identity.parts.Display() +
                         "\nSERIAL NUMBER: " + std::to_string(identity.serialNumber) + "\n\n");
        link.LinkOk = 1;
        ui.getPara();
        if (link.LinkOk != 1) {
            // A sensor whose parameters cannot be read is no more usable than
            // one that does not answer: the failure is in the message box,
            // the user chooses between ending and working offline.
            AskCloseOrOffline(kTextCouldNotConnect, ui);
            return;
        }
        ui.dimLinkButtons(false);
        return;
    }
    AskCloseOrOffline(FirmwareMismatchText(identity) + "\n\nClose window or work in offline mode!",
                      ui);
}

} // namespace com232
