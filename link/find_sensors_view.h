// FIND SENSORS on the connection page: the search for the sensors that
// answer, run on worker threads while the window stays responsive, its
// progress, CANCEL, and the list of what was found. Choosing a sensor from
// the list sets the link settings to it and connects.
#pragma once

#include "link/connect_page_ui.h"
#include "link/sensor_search.h"
#include "platform/controls.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QTimer;

namespace conn {

// What the search needs of the rest of the connection page.
struct FindHooks {
    // Appends to the message box.
    std::function<void(const std::string&)> appendMessage;
    // The COM port in the COM-port selector (0 for none): searched too when
    // the system does not list it.
    std::function<int()> typedComPort;
    // Sets the link settings to the sensor chosen and connects.
    std::function<void(const com232::SearchResult&)> connect;
};

class FindSensorsView {
public:
    FindSensorsView(ConnectPage& page, FindHooks hooks);
    // Cancels a search still running and waits for its probes to end.
    ~FindSensorsView();
    FindSensorsView(const FindSensorsView&) = delete;
    FindSensorsView& operator=(const FindSensorsView&) = delete;

    // Starts a search of the serial ports at every rate and of the typed
    // TCP/IP range; false (with the reason in the message box) for a range
    // that cannot be read, or one of more than 256 addresses not confirmed.
    bool FindSensors();
    // Ends the search at once: the list keeps what was found so far.
    void CancelSearch();
    bool Searching() const { return search_ != nullptr; }
    // The verdicts the list shows, one per row.
    const std::vector<com232::SearchResult>& Listed() const { return listed_; }
    // Chooses the sensor of a row of the list: ends a search still running,
    // then connects to it.
    void Choose(int row);

    void CBF_ButtonFindSensors(QWidget*, ctl::Event);
    void CBF_ButtonCancelFind(QWidget*, ctl::Event);

private:
    // Takes the search's progress and verdicts into the page (a timer on
    // the window's thread; the search's own threads never touch a widget).
    void Poll();
    void ShowVerdicts(const std::vector<com232::SearchResult>& all);
    void Ended(bool cancelled);
    void SetSearching(bool searching);
    // Shows the list (hidden until the first search) with room to grow.
    void ShowList();
    // Lets a cancelled search's probes end without waiting for them.
    void Retire();

    ConnectPage& page_;
    FindHooks hooks_;
    std::unique_ptr<com232::SensorSearch> search_;
    std::vector<std::unique_ptr<com232::SensorSearch>> retiring_;
    std::vector<com232::SearchResult> listed_;
    size_t verdicts_ = 0; // verdicts of the running search taken so far
    std::unique_ptr<QTimer> timer_;
};

} // namespace conn
