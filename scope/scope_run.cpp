// The capture waits without a time-out for the trigger; each pass of the
// wait processes events, which blocks for a few milliseconds while nothing
// happens, so the wait costs next to no CPU. A break during the wait sends
// its order at once; its acknowledgment comes behind whatever the sensor was
// still sending of the capture, and the capture takes it as it ends.
#include "scope/scope_run.h"

#include "link/com232.h"
#include "link/link_texts.h"
#include "platform/runtime.h"

namespace scope {

uint16_t ScanActive = 0;

namespace {

constexpr const char* kTextPortError = "TIMEOUT! \nCOMMUNICATION ERROR! \nCHECK POWER SUPPLY AND "
                                       "COM SETTINGS. \nTRY TO CONNECT AGAIN!";

// True from the capture's acknowledgment to its end: the link then carries
// the capture's blocks, which a break must not take for its answer nor
// drop from under the capture.
bool gCaptureOpen = false;
// The break order went out during the capture's wait; its acknowledgment is
// still to be taken.
bool gBreakSent = false;

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
    if (com232::LinkOk == 0) { // a TCP hang-up is reported as it happens
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

// Waits until a block header is there, watching the line's error status.
// A header already received (the blocks follow each other closely) is
// taken at once; only an empty buffer waits. The first block may take
// until the trigger; the others follow it.
Wait AwaitBlockHeader(StallWatch* stall, unsigned long long captureStart) {
    com232::ComErrorBits = 0;
    for (bool first = true;; first = false) {
        if (!first) {
            com232::AwaitMoreBytes();
        }
        com232::PullReceived();
        com232::ComErrorBits = com232::LineErrors();
        if (com232::ComErrorBits > 0) {
            return FailWith(kTextPortError); // line lost or port gone
        }
        Wait why = Wait::Ready;
        if (WaitEnds(&why)) {
            return why;
        }
        if (com232::RxCount >= static_cast<int>(com232::kHeaderSize)) {
            return Wait::Ready;
        }
        if (stall->Stalled(static_cast<int>(com232::BytesReceived() - captureStart))) {
            return FailWith(com232::kTextNoAnswer);
        }
    }
}

// The four block frames, as the link reads them behind the acknowledgment
// (which has been taken off RxBuffer): each is checked and put in order.
Wait ReadBlocks(std::array<SampleBlock, kScopeBlocks>* blocks, uint16_t mode, uint16_t preTrigger) {
    // The bytes behind the acknowledgment are the capture's.
    const unsigned long long captureStart =
        com232::BytesReceived() - static_cast<unsigned long long>(com232::RxCount);
    StallWatch stall(false);
    for (SampleBlock& block : *blocks) {
        const Wait w = AwaitBlockHeader(&stall, captureStart);
        if (w != Wait::Ready) {
            return w;
        }
        if (com232::CheckHeaderCRC() != 1) {
            return Wait::Failed; // reported by the check
        }
        if (com232::AnswerLength != kScopeBlockData) {
            return FailWith(com232::kTextBadHeader); // not a block: the stream is out of step
        }
        if (com232::GetDataFrame() != 1) {
            return Wait::Failed; // reported by the read
        }
        block = ReorderBlock(com232::RxData(), mode, preTrigger);
        com232::DropAnswer();
    }
    return Wait::Ready;
}

// The acknowledgment of a break sent during the wait comes behind the rest
// of the capture, if the sensor had triggered: the blocks in between, whole
// or in part already received, are taken frame by frame and dropped, and
// the acknowledgment (the frame without data) with them. So no block is
// taken for the answer, and none is left for the next exchange.
void TakeBreakAnswer() {
    for (int frame = 0; frame <= kScopeBlocks; ++frame) {
        if (com232::GetHeaderFrame() != 1) {
            return; // reported by the link
        }
        if (com232::AnswerLength == 0) {
            return; // the acknowledgment
        }
        if (com232::GetDataFrame() != 1) {
            return;
        }
        com232::DropAnswer();
    }
}

} // namespace

CaptureEnd CaptureScope(const std::array<uint16_t, kScopeSettingCount>& settings,
                        std::array<SampleBlock, kScopeBlocks>* blocks,
                        const std::function<void()>& acknowledged) {
    EncodeScopeSettings(settings, com232::TxData());
    com232::LinkOk = 1;
    com232::FillTxBuf(com232::kOrderScope, 1, kScopeSettingsSize);
    if (com232::DataExchange(static_cast<int>(com232::kHeaderSize + kScopeSettingsSize)) != 1) {
        return CaptureEnd::Failed;
    }
    if (com232::AnswerLength != 0) {
        // Not the acknowledgment, which carries no data: a block that came in
        // its place (the acknowledgment was lost and the capture, triggered
        // at once, followed). Taken for the acknowledgment it would leave the
        // wait one frame short for good.
        FailWith(com232::kTextBadHeader);
        return CaptureEnd::Failed;
    }
    if (acknowledged) {
        acknowledged();
    }
    ScanActive = 1;
    gCaptureOpen = true;
    gBreakSent = false;
    // The blocks are ordered with the settings they were captured with,
    // whatever a page shows by the time they arrive. They become the
    // capture only when all four are in: a failed or broken capture leaves
    // the previous one whole.
    const uint16_t mode = settings[kTriggerMode];
    const uint16_t preTrigger = settings[kPreTriggerValues];
    std::array<SampleBlock, kScopeBlocks> received{};
    // A block that came right behind the acknowledgment is kept.
    com232::DropAnswer();
    const Wait w = ReadBlocks(&received, mode, preTrigger);
    const bool broken = ScanActive == 0; // a break while the last block was read
    ScanActive = 0;
    if (gBreakSent && w != Wait::Failed) {
        TakeBreakAnswer();
    }
    gCaptureOpen = false;
    gBreakSent = false;
    if (w == Wait::Failed) {
        return CaptureEnd::Failed;
    }
    if (w == Wait::Broken || broken) {
        return CaptureEnd::Broken;
    }
    *blocks = received;
    return CaptureEnd::Complete;
}

void BreakDataScan() {
    if (!gCaptureOpen) {
        com232::FillTxBuf(com232::kOrderScope, 0, 0);
        com232::DataExchange(static_cast<int>(com232::kHeaderSize)); // answer not checked
    } else if (ScanActive == 1 && !gBreakSent) {
        // Nested in the capture's wait, which holds the link's buffer: the
        // order goes out now, the capture takes its answer as it ends.
        com232::FillTxBuf(com232::kOrderScope, 0, 0);
        gBreakSent = com232::SendRequest(static_cast<int>(com232::kHeaderSize)) == 1;
    }
    ScanActive = 0;
}

void ResetCaptureLinkFlags() {
    ScanActive = 0;
    gCaptureOpen = false;
    gBreakSent = false;
}

double ReadCycleTime() {
    com232::FillTxBuf(com232::kOrderCycleTime, 0, 0);
    if (com232::DataExchange(static_cast<int>(com232::kHeaderSize)) == 1 &&
        com232::AnswerLength >= kCycleTimeAnswerSize) {
        return CycleTimeMs(com232::GetI32(com232::RxData()), com232::GetI32(com232::RxData() + 4));
    }
    return 0;
}

} // namespace scope
