#include "link/find_sensors_view.h"

#include "link/com232.h"
#include "platform/popups.h"
#include "platform/widgets.h"

#include <QBoxLayout>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace conn {
namespace {

// How often the page takes the search's progress.
constexpr int kPollMs = 50;
// How long choosing a sensor waits for a cancelled search's probes to let
// go of their ports (a TCP connect ends within its time-out).
constexpr int kReleaseWaitMs = 2000;

std::string Counted(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "COM 5", "192.168.0.21:10001", or a device path.
std::string ShownName(const com232::SearchResult& r) {
    if (r.serial && r.port.comPort > 0) {
        return "COM " + std::to_string(r.port.comPort);
    }
    return r.serial ? r.port.device : com232::TcpTargetName(r.tcp);
}

std::string RowText(const com232::SearchResult& r) {
    using com232::ProbeVerdict;
    const std::string name = ShownName(r);
    if (r.verdict == ProbeVerdict::NotSensor) {
        return name + "  NOT A SENSOR: " + r.reason;
    }
    if (r.verdict == ProbeVerdict::Unavailable) {
        return name + "  NOT PROBED: " + r.reason;
    }
    const std::string rate =
        r.serial ? "  " + std::to_string(com232::BaudrateOfIndex(r.baudrateIndex)) + " Bd" : "";
    return name + rate + "  SERIAL " + std::to_string(r.serialNumber) + "  " + r.id.Display() +
           (r.firmwareMatches ? "" : "  (OTHER FIRMWARE)");
}

} // namespace

FindSensorsView::FindSensorsView(ConnectPage& page, FindHooks hooks)
    : page_(page), hooks_(std::move(hooks)), timer_(std::make_unique<QTimer>()) {
    timer_->setInterval(kPollMs);
    QObject::connect(timer_.get(), &QTimer::timeout, [this] { Poll(); });
    ctl::Bind(page_.findSensors,
              "Search the serial ports at every baudrate, and the TCP RANGE \nwhen one is "
              "typed, for sensors. \n\nDouble-click a sensor found to connect it.",
              [this](QWidget* w, ctl::Event e) { CBF_ButtonFindSensors(w, e); });
    ctl::Bind(page_.cancelFind, "End the search for sensors.",
              [this](QWidget* w, ctl::Event e) { CBF_ButtonCancelFind(w, e); });
    ctl::Bind(page_.findRange,
              "TCP/IP addresses to search besides the serial ports: \n192.168.0.20-40, "
              "10.0.5.0/24:10001 or a host name, \nseveral separated by commas. Empty: serial "
              "ports only.",
              nullptr);
    // Double-click or Enter on a sensor connects it.
    ctl::Bind(page_.findResults, "Sensors found. Double-click one to connect it.", nullptr);
    QObject::connect(page_.findResults, &QListWidget::itemActivated, page_.findResults,
                     [this](QListWidgetItem* item) { Choose(page_.findResults->row(item)); });
}

FindSensorsView::~FindSensorsView() {
    timer_->stop();
}

bool FindSensorsView::FindSensors() {
    if (Searching()) {
        return false;
    }
    com232::SearchSettings settings;
    settings.serial = com232::ListedSerialTargets();
    const int typed = hooks_.typedComPort ? hooks_.typedComPort() : 0;
    com232::SerialTarget extra;
    if (typed > 0 && com232::SerialTargetOfComPort(typed, &extra)) {
        settings.serial.push_back(extra); // probed once if listed too
    }
    const std::string range = page_.findRange->text().trimmed().toStdString();
    std::string error;
    if (!com232::ParseTcpRanges(range, &settings.tcp, &error)) {
        hooks_.appendMessage("FIND SENSORS: TCP RANGE NOT SEARCHED: " + error + "\n\n");
        return false;
    }
    if (settings.tcp.size() > com232::kSearchAddressesUnasked &&
        platform::ConfirmPopup("ATTENTION!", "The TCP RANGE holds " +
                                                 std::to_string(settings.tcp.size()) +
                                                 " addresses. \nSearch them all?") != 1) {
        return false;
    }
    search_ = std::make_unique<com232::SensorSearch>(std::move(settings));
    const com232::SearchSettings& s = search_->Settings();
    hooks_.appendMessage(
        "FIND SENSORS: " + Counted(s.serial.size(), "SERIAL PORT", "SERIAL PORTS") +
        " AT EVERY BAUDRATE, " + Counted(s.tcp.size(), "TCP/IP ADDRESS", "TCP/IP ADDRESSES") +
        "\n");
    listed_.clear();
    page_.findResults->clear();
    ShowList();
    verdicts_ = 0;
    page_.findProgress->setRange(0,
                                 static_cast<int>(std::max<size_t>(1, search_->Progress().total)));
    page_.findProgress->setValue(0);
    SetSearching(true);
    search_->Start();
    timer_->start();
    return true;
}

void FindSensorsView::CancelSearch() {
    if (!search_) {
        return;
    }
    search_->Cancel();
    ShowVerdicts(search_->Results());
    Ended(true);
}

void FindSensorsView::Choose(int row) {
    if (row < 0 || row >= static_cast<int>(listed_.size()) ||
        listed_[static_cast<size_t>(row)].verdict != com232::ProbeVerdict::Sensor) {
        return;
    }
    const com232::SearchResult chosen = listed_[static_cast<size_t>(row)];
    CancelSearch();
    // The probes let go of their ports before the window opens one of them.
    for (const auto& s : retiring_) {
        s->Wait(kReleaseWaitMs);
    }
    Retire();
    hooks_.connect(chosen);
}

void FindSensorsView::Poll() {
    Retire();
    if (search_) {
        const com232::SearchProgress p = search_->Progress();
        page_.findProgress->setValue(static_cast<int>(p.done));
        std::vector<com232::SearchResult> all = search_->Results();
        if (all.size() != verdicts_) {
            verdicts_ = all.size();
            ShowVerdicts(all);
        }
        if (search_->Finished()) {
            ShowVerdicts(search_->Results());
            Ended(false);
        }
    }
    if (!search_ && retiring_.empty()) {
        timer_->stop();
    }
}

void FindSensorsView::ShowVerdicts(const std::vector<com232::SearchResult>& all) {
    const int current = page_.findResults->currentRow();
    const std::string chosen = current >= 0 && current < static_cast<int>(listed_.size())
                                   ? listed_[static_cast<size_t>(current)].Name()
                                   : std::string();
    listed_.clear();
    for (const com232::SearchResult& r : all) {
        if (r.verdict != com232::ProbeVerdict::Silent) {
            listed_.push_back(r);
        }
    }
    QListWidget* list = page_.findResults;
    QSignalBlocker block(list);
    list->clear();
    for (const com232::SearchResult& r : listed_) {
        auto* item = new QListWidgetItem(QString::fromStdString(RowText(r)), list);
        if (r.verdict == com232::ProbeVerdict::Sensor) {
            item->setToolTip(QString::fromStdString(r.idText));
        } else {
            item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
        }
        if (!chosen.empty() && r.Name() == chosen) {
            list->setCurrentItem(item);
        }
    }
}

void FindSensorsView::Ended(bool cancelled) {
    const size_t found = static_cast<size_t>(
        std::count_if(listed_.begin(), listed_.end(), [](const com232::SearchResult& r) {
            return r.verdict == com232::ProbeVerdict::Sensor;
        }));
    if (cancelled) {
        hooks_.appendMessage("FIND SENSORS: CANCELLED, " + Counted(found, "SENSOR", "SENSORS") +
                             " FOUND SO FAR.\n\n");
        retiring_.push_back(std::move(search_));
    } else {
        page_.findProgress->setValue(page_.findProgress->maximum());
        hooks_.appendMessage(found == 0 ? "FIND SENSORS: NO SENSOR FOUND! \nCHECK POWER SUPPLY AND "
                                          "CABLE, OR TYPE THE SENSOR'S TCP RANGE.\n\n"
                                        : "FIND SENSORS: " + Counted(found, "SENSOR", "SENSORS") +
                                              " FOUND. DOUBLE-CLICK ONE TO CONNECT.\n\n");
        search_.reset();
    }
    SetSearching(false);
}

void FindSensorsView::ShowList() {
    QListWidget* list = page_.findResults;
    if (list->isVisibleTo(list->parentWidget())) {
        return;
    }
    list->setVisible(true);
    // The list takes twice the room of the message box below it from now on.
    QWidget* group = list->parentWidget();
    if (auto* column = qobject_cast<QBoxLayout*>(group->parentWidget()->layout())) {
        column->setStretchFactor(group, 2);
    }
}

void FindSensorsView::SetSearching(bool searching) {
    page_.findSensors->setEnabled(!searching);
    page_.findRange->setEnabled(!searching);
    page_.cancelFind->setEnabled(searching);
}

void FindSensorsView::Retire() {
    retiring_.erase(std::remove_if(retiring_.begin(), retiring_.end(),
                                   [](const auto& s) { return s->Finished(); }),
                    retiring_.end());
}

void FindSensorsView::CBF_ButtonFindSensors(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        FindSensors();
    }
}

void FindSensorsView::CBF_ButtonCancelFind(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        CancelSearch();
    }
}

} // namespace conn
