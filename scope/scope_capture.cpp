// The scope capture: order 110 with the five settings, then the wait for
// the four blocks that the sensor sends once it has triggered and filled
// its ring. There is no time-out on the wait for the trigger (it may take
// any time); it ends when the blocks are in, on BREAK SCAN, on a link
// failure reported meanwhile, when the blocks stop coming halfway, or when
// the program is closed. Each pass of the wait processes
// events, which blocks for a few milliseconds while nothing happens, so the
// wait costs next to no CPU.
#include "link/com232.h"
#include "link/crc8.h"
#include "link/link_texts.h"
#include "platform/runtime.h"
#include "platform/serial_port.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"
#include "scope/scope.h"
#include "scope/scope_ui.h"

#include <QPushButton>

#include <algorithm>
#include <cstring>

namespace scope {
namespace {

constexpr const char* kTextPortError = "TIMEOUT! \nCOMMUNICATION ERROR! \nCHECK POWER SUPPLY AND "
                                       "COM SETTINGS. \nTRY TO CONNECT AGAIN!";
// On TCP the acknowledgment and the four block frames collect in RxBuffer.
constexpr int kScopeStreamSize =
    static_cast<int>(com232::kHeaderSize + kScopeBlocks * kScopeBlockFrame);

bool gScanRunning = false;
// True while the data part of a block is read from the serial port: an
// order sent meanwhile would flush the port under the running read.
bool gReadingBlock = false;
unsigned long long gCaptures = 0;

enum class Wait { Ready, Broken, Failed };

// Why a wait for the blocks must end now, if it must: BREAK SCAN, a link
// failure that has been reported meanwhile (the server closed the
// connection, say), or the program being closed, which breaks the capture
// off in the sensor as well.
bool WaitEnds(Wait* why) {
    if (ScanActive == 0) {
        *why = Wait::Broken;
        return true;
    }
    if (platform::QuitRequested()) {
        BreakDataScan();
        *why = Wait::Broken;
        return true;
    }
    if (com232::LinkOk == 0 ||
        (com232::ComProtocol == com232::kProtocolTcp && com232::TcpConnected == 0)) {
        *why = Wait::Failed;
        return true;
    }
    return false;
}

Wait FailWith(const char* text) {
    com232::StatusText = text;
    com232::SetTimeout();
    return Wait::Failed;
}

// The sensor may take any time to trigger, so the wait for the blocks has no
// time-out. Once they have begun to arrive, though, they follow each other
// closely: when no byte comes for longer than the link's answer time-out,
// the rest of the capture is not coming (a block lost or broken off), and
// the wait ends with the link's time-out report instead of lasting until
// BREAK SCAN.
class StallWatch {
public:
    explicit StallWatch(bool started) : started_(started), since_(platform::Timer()) {}
    // `received` counts the capture's bytes so far; true once they have
    // stopped coming.
    bool Stalled(int received) {
        const double now = platform::Timer();
        if (received != received_) {
            started_ = started_ || received > received_;
            received_ = received;
            since_ = now;
            return false;
        }
        return started_ && now - since_ > com232::AnswerTimeoutSeconds();
    }

private:
    bool started_;
    int received_ = 0;
    double since_;
};

// Serial link: waits until a block header is there, watching the port's
// error status. A header already queued (the blocks follow each other
// closely) is taken at once; only an empty queue waits for events. The
// first block may take until the trigger; the others follow it.
Wait AwaitSerialHeader(bool firstBlock) {
    com232::ComErrorBits = 0;
    StallWatch stall(!firstBlock);
    for (bool first = true;; first = false) {
        if (!first) {
            platform::ProcessSystemEvents();
        }
        const int waiting = platform::GetInQLen(com232::ComPort);
        com232::ComErrorBits = platform::GetComStat(com232::ComPort);
        if (com232::ComErrorBits > 0 || waiting < 0) {
            return FailWith(kTextPortError); // line lost or port gone
        }
        Wait why = Wait::Ready;
        if (WaitEnds(&why)) {
            return why;
        }
        if (waiting >= static_cast<int>(com232::kHeaderSize)) {
            return Wait::Ready;
        }
        if (stall.Stalled(waiting)) {
            return FailWith(com232::kTextNoAnswer);
        }
    }
}

Wait ReadSerialBlocks(std::array<SampleBlock, kScopeBlocks>* blocks, uint16_t mode,
                      uint16_t preTrigger) {
    for (SampleBlock& block : *blocks) {
        const Wait w = AwaitSerialHeader(&block == &blocks->front());
        if (w != Wait::Ready) {
            return w;
        }
        std::memset(com232::RxBuffer, 0, com232::kHeaderSize);
        platform::ComRd(com232::ComPort, com232::RxBuffer, com232::kHeaderSize);
        if (com232::CheckHeaderCRC() != 1) {
            return Wait::Failed; // reported by the check
        }
        if (com232::AnswerLength != kScopeBlockData) {
            return FailWith(com232::kTextBadHeader); // not a block: the stream is out of step
        }
        gReadingBlock = true;
        const int read = com232::GetDataFrame();
        gReadingBlock = false;
        if (read != 1) {
            return Wait::Failed; // reported by the read
        }
        block = ReorderBlock(com232::RxData(), mode, preTrigger);
    }
    return Wait::Ready;
}

// TCP: the link's receive callback collects the blocks behind the
// acknowledgment in RxBuffer; once all are there, each frame is checked and
// put in order.
Wait ReadTcpBlocks(std::array<SampleBlock, kScopeBlocks>* blocks, uint16_t mode,
                   uint16_t preTrigger) {
    StallWatch stall(false);
    while (com232::RxCount < kScopeStreamSize) {
        Wait why = Wait::Ready;
        if (WaitEnds(&why)) {
            return why;
        }
        // The bytes behind the acknowledgment are the capture's.
        if (stall.Stalled(std::max(0, com232::RxCount - static_cast<int>(com232::kHeaderSize)))) {
            return FailWith(com232::kTextNoAnswer);
        }
        platform::ProcessSystemEvents();
    }
    // The frames, without the acknowledgment in front of them.
    uint8_t frames[kScopeBlocks * kScopeBlockFrame];
    std::memcpy(frames, com232::RxBuffer + com232::kHeaderSize, sizeof frames);
    for (int b = 0; b < kScopeBlocks; ++b) {
        std::memcpy(com232::RxBuffer, frames + b * kScopeBlockFrame, kScopeBlockFrame);
        if (com232::CheckHeaderCRC() != 1) {
            return Wait::Failed; // reported by the check
        }
        if (com232::AnswerLength != kScopeBlockData) {
            return FailWith(com232::kTextBadHeader);
        }
        if (com232::crc8Update(com232::RxBuffer, com232::kHeaderSize, com232::AnswerLength) !=
            com232::AnswerDataCrc) {
            return FailWith(com232::kTextBadData);
        }
        (*blocks)[static_cast<size_t>(b)] = ReorderBlock(com232::RxData(), mode, preTrigger);
    }
    return Wait::Ready;
}

} // namespace

ScanResult GetScopeData() {
    ScopePanels& p = Panels();
    const std::array<uint16_t, kScopeSettingCount> settings = {
        static_cast<uint16_t>(p.scopePage.triggerLevel->value()),
        static_cast<uint16_t>(p.scopePage.triggerMode->Val()),
        static_cast<uint16_t>(p.scopePage.preTrigger->value()),
        static_cast<uint16_t>(p.scopePage.scanRate->value()),
        static_cast<uint16_t>(p.scopePage.recordSignal->Val())};
    EncodeScopeSettings(settings, com232::TxData());
    com232::LinkOk = 1;
    com232::FillTxBuf(com232::kOrderScope, 1, kScopeSettingsSize);
    if (com232::DataExchange(static_cast<int>(com232::kHeaderSize + kScopeSettingsSize)) != 1) {
        return ScanResult::Failed;
    }
    if (com232::AnswerLength != 0) {
        // Not the acknowledgment, which carries no data: a block that came in
        // its place (the acknowledgment was lost and the capture, triggered
        // at once, followed). Taken for the acknowledgment it would leave the
        // wait one frame short for good.
        FailWith(com232::kTextBadHeader);
        return ScanResult::Failed;
    }
    p.scopePage.breakScan->setEnabled(true);
    ScanActive = 1;
    // The blocks are ordered with the settings they were captured with,
    // whatever the page shows by the time they arrive. They become the
    // capture only when all four are in: a failed or broken capture leaves
    // the previous one whole.
    const uint16_t mode = settings[kTriggerMode];
    const uint16_t preTrigger = settings[kPreTriggerValues];
    std::array<SampleBlock, kScopeBlocks> blocks{};
    const Wait w = com232::ComProtocol == com232::kProtocolTcp
                       ? ReadTcpBlocks(&blocks, mode, preTrigger)
                       : ReadSerialBlocks(&blocks, mode, preTrigger);
    const bool broken = ScanActive == 0; // BREAK SCAN while the last block was read
    ScanActive = 0;
    if (w == Wait::Failed) {
        return ScanResult::Failed;
    }
    if (w == Wait::Broken || broken) {
        return ScanResult::Broken;
    }
    TakeCapture(blocks);
    ++gCaptures;
    return ScanResult::Plotted;
}

void BreakDataScan() {
    // While a block's data are being read the sensor has triggered already
    // and is sending; the flag alone ends the capture then.
    if (!gReadingBlock) {
        com232::FillTxBuf(com232::kOrderScope, 0, 0);
        com232::DataExchange(static_cast<int>(com232::kHeaderSize)); // answer not checked
    }
    ScanActive = 0;
}

void ResetCaptureFlags() {
    gScanRunning = false;
    gReadingBlock = false;
}

bool ScanRunning() {
    return gScanRunning;
}

unsigned long long CapturesPlotted() {
    return gCaptures;
}

int CBF_ButtonScan(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || gScanRunning) {
        return 0; // a capture is running: a second one must not start inside it
    }
    gScanRunning = true;
    ScopePanels& p = Panels();
    shell::Shell().SetButtonsDimmed(0, 1);
    initScopeGraph();
    p.scope.busy->setVisible(true);
    shell::Shell().ShowChild(shell::Child::Scope);
    GetScopeData();
    if (shell::Shell().PanelsLoaded()) {
        p.scope.busy->setVisible(false);
        shell::Shell().SetButtonsDimmed(0, 0);
    }
    gScanRunning = false;
    return 0;
}

int CBF_ButtonBreakScan(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit) {
        return 0;
    }
    shell::Shell().SetButtonsDimmed(0, 1);
    BreakDataScan();
    // Inside a running capture the commands come back when the capture has
    // ended, not before: nothing may start while it is still unwinding.
    if (!gScanRunning) {
        shell::Shell().SetButtonsDimmed(0, 0);
    }
    return 0;
}

} // namespace scope
