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
namespace {

constexpr const char* kTextPortError = "TIMEOUT! \nCOMMUNICATION ERROR! \nCHECK POWER SUPPLY AND "
                                       "COM SETTINGS. \nTRY TO CONNECT AGAIN!";

enum class Wait { Ready, Broken, Failed };

// Why a wait for the blocks must end now, if it must: BREAK SCAN, a link
// failure that has been reported meanwhile (the server closed the
// connection, say), or the program being closed, which breaks the capture
// off in the sensor as well.
bool WaitEnds(com232::SensorLink& link, ScanState& scan, Wait* why) {
    if (scan.ScanActive == 0) {
        *why = Wait::Broken;
        return true;
    }
    if (platform::QuitRequested()) {
        BreakDataScan(link, scan);
        *why = Wait::Broken;
        return true;
    }
    if (link.LinkOk == 0) { // a TCP hang-up is reported as it happens
        *why = Wait::Failed;
        return true;
    }
    return false;
}

Wait FailWith(com232::SensorLink& link, const char* text) {
    link.StatusText = text;
    link.SetTimeout();
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
    StallWatch(bool started, double timeout)
        : started_(started), timeout_(timeout), since_(platform::Timer()) {}
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
        return started_ && now - since_ > timeout_;
    }

private:
    bool started_;
    double timeout_;
    int received_ = 0;
    double since_;
};

// Waits until a block header is there, watching the line's error status.
// A header already received (the blocks follow each other closely) is
// taken at once; only an empty buffer waits. The first block may take
// until the trigger; the others follow it.
Wait AwaitBlockHeader(com232::SensorLink& link, ScanState& scan, StallWatch* stall,
                      unsigned long long captureStart) {
    link.ComErrorBits = 0;
    for (bool first = true;; first = false) {
        if (!first) {
            link.AwaitMoreBytes();
        }
        link.PullReceived();
        link.ComErrorBits = link.LineErrors();
        if (link.ComErrorBits > 0) {
            return FailWith(link, kTextPortError); // line lost or port gone
        }
        Wait why = Wait::Ready;
        if (WaitEnds(link, scan, &why)) {
            return why;
        }
        if (link.RxCount >= static_cast<int>(com232::kHeaderSize)) {
            return Wait::Ready;
        }
        if (stall->Stalled(static_cast<int>(link.BytesReceived() - captureStart))) {
            return FailWith(link, com232::kTextNoAnswer);
        }
    }
}

// The four block frames, as the link reads them behind the acknowledgment
// (which has been taken off RxBuffer): each is checked and put in order.
Wait ReadBlocks(com232::SensorLink& link, ScanState& scan,
                std::array<SampleBlock, kScopeBlocks>* blocks, uint16_t mode, uint16_t preTrigger) {
    // The bytes behind the acknowledgment are the capture's.
    const unsigned long long captureStart =
        link.BytesReceived() - static_cast<unsigned long long>(link.RxCount);
    StallWatch stall(false, link.AnswerTimeoutSeconds());
    for (SampleBlock& block : *blocks) {
        const Wait w = AwaitBlockHeader(link, scan, &stall, captureStart);
        if (w != Wait::Ready) {
            return w;
        }
        if (link.CheckHeaderCRC() != 1) {
            return Wait::Failed; // reported by the check
        }
        if (link.AnswerLength != kScopeBlockData) {
            return FailWith(link, com232::kTextBadHeader); // not a block: the stream is out of step
        }
        if (link.GetDataFrame() != 1) {
            return Wait::Failed; // reported by the read
        }
        block = ReorderBlock(link.RxData(), mode, preTrigger);
        link.DropAnswer();
    }
    return Wait::Ready;
}

// The acknowledgment of a break sent during the wait comes behind the rest
// of the capture, if the sensor had triggered: the blocks in between, whole
// or in part already received, are taken frame by frame and dropped, and
// the acknowledgment (the frame without data) with them. So no block is
// taken for the answer, and none is left for the next exchange.
void TakeBreakAnswer(com232::SensorLink& link) {
    for (int frame = 0; frame <= kScopeBlocks; ++frame) {
        if (link.GetHeaderFrame() != 1) {
            return; // reported by the link
        }
        if (link.AnswerLength == 0) {
            return; // the acknowledgment
        }
        if (link.GetDataFrame() != 1) {
            return;
        }
        link.DropAnswer();
    }
}

} // namespace

CaptureEnd CaptureScope(com232::SensorLink& link, ScanState& scan,
                        const std::array<uint16_t, kScopeSettingCount>& settings,
                        std::array<SampleBlock, kScopeBlocks>* blocks,
                        const std::function<void()>& acknowledged) {
    EncodeScopeSettings(settings, link.TxData());
    link.LinkOk = 1;
    link.FillTxBuf(com232::kOrderScope, 1, kScopeSettingsSize);
    if (link.DataExchange(static_cast<int>(com232::kHeaderSize + kScopeSettingsSize)) != 1) {
        return CaptureEnd::Failed;
    }
    if (link.AnswerLength != 0) {
        // Not the acknowledgment, which carries no data: a block that came in
        // its place (the acknowledgment was lost and the capture, triggered
        // at once, followed). Taken for the acknowledgment it would leave the
        // wait one frame short for good.
        FailWith(link, com232::kTextBadHeader);
        return CaptureEnd::Failed;
    }
    if (acknowledged) {
        acknowledged();
    }
    scan.ScanActive = 1;
    scan.captureOpen = true;
    scan.breakSent = false;
    // The blocks are ordered with the settings they were captured with,
    // whatever a page shows by the time they arrive. They become the
    // capture only when all four are in: a failed or broken capture leaves
    // the previous one whole.
    const uint16_t mode = settings[kTriggerMode];
    const uint16_t preTrigger = settings[kPreTriggerValues];
    std::array<SampleBlock, kScopeBlocks> received{};
    // A block that came right behind the acknowledgment is kept.
    link.DropAnswer();
    const Wait w = ReadBlocks(link, scan, &received, mode, preTrigger);
    const bool broken = scan.ScanActive == 0; // a break while the last block was read
    scan.ScanActive = 0;
    if (scan.breakSent && w != Wait::Failed) {
        TakeBreakAnswer(link);
    }
    scan.captureOpen = false;
    scan.breakSent = false;
    if (w == Wait::Failed) {
        return CaptureEnd::Failed;
    }
    if (w == Wait::Broken || broken) {
        return CaptureEnd::Broken;
    }
    *blocks = received;
    return CaptureEnd::Complete;
}

void BreakDataScan(com232::SensorLink& link, ScanState& scan) {
    if (!scan.captureOpen) {
        link.FillTxBuf(com232::kOrderScope, 0, 0);
        link.DataExchange(static_cast<int>(com232::kHeaderSize)); // answer not checked
    } else if (scan.ScanActive == 1 && !scan.breakSent) {
        // Nested in the capture's wait, which holds the link's buffer: the
        // order goes out now, the capture takes its answer as it ends.
        link.FillTxBuf(com232::kOrderScope, 0, 0);
        scan.breakSent = link.SendRequest(static_cast<int>(com232::kHeaderSize)) == 1;
    }
    scan.ScanActive = 0;
}

void ResetCaptureLinkFlags(ScanState& scan) {
    scan.ScanActive = 0;
    scan.captureOpen = false;
    scan.breakSent = false;
}

double ReadCycleTime(com232::SensorLink& link) {
    link.FillTxBuf(com232::kOrderCycleTime, 0, 0);
    if (link.DataExchange(static_cast<int>(com232::kHeaderSize)) == 1 &&
        link.AnswerLength >= kCycleTimeAnswerSize) {
        return CycleTimeMs(com232::GetI32(link.RxData()), com232::GetI32(link.RxData() + 4));
    }
    return 0;
}

} // namespace scope
