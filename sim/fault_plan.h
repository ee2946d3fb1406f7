// Fault injection: what the simulated sensor does wrong with the frames it
// sends. A plan is a list of faults, each limited to one order and to a
// number of frames; for every frame the matching faults are taken from the
// plan and turn the correct frame into what actually goes on the line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

enum class FaultKind {
    DelayHeader,   // the whole answer MS later
    DelayData,     // header on time, data MS later
    Drop,          // no answer at all
    CorruptHeader, // header CRC byte wrong
    CorruptData,   // a data byte changed (data CRC no longer matches)
    Error,         // error answer: order byte 0, parameter word CODE, no data
    Split,         // pieces of BYTES with MS pauses
    Close,         // close the connection instead of answering
    Garbage,       // N random bytes instead of the answer
    Oversize,      // a good header announcing LEN data bytes, and LEN bytes
    Cut,           // only the first N bytes of the answer, then silence
    GarbageBefore, // N random bytes, then the answer
};

struct Fault {
    FaultKind kind = FaultKind::Drop;
    uint32_t a = 0;     // MS, CODE, BYTES, N or LEN
    uint32_t b = 0;     // the pause of Split
    int order = -1;     // only frames of this order (-1: any)
    uint32_t count = 1; // frames still to affect; 0 = until cleared
    uint32_t skip = 0;  // matching frames to let pass first
};

// Parses "KIND [ARGS] [order=N] [count=K] [skip=S]", e.g. "delay-header 2900 order=7".
bool ParseFault(const std::string& text, Fault* fault, std::string* error);
std::string DescribeFault(const Fault& fault);
// The usage line of every fault kind, one per line.
std::string FaultUsage();

// What happens to one frame.
struct AppliedFaults {
    bool any = false;
    bool drop = false;
    bool close = false;
    bool corruptHeader = false;
    bool corruptData = false;
    int errorCode = -1;
    int64_t garbage = -1;
    int64_t oversize = -1;
    int64_t cut = -1;           // bytes of the answer that go out (-1: all)
    uint32_t garbageBefore = 0; // random bytes in front of the answer
    uint32_t delayHeaderMs = 0;
    uint32_t delayDataMs = 0;
    uint32_t splitBytes = 0;
    uint32_t splitMs = 0;
};

class FaultPlan {
public:
    void Add(const Fault& fault) { faults_.push_back(fault); }
    void Clear() { faults_.clear(); }
    bool Empty() const { return faults_.empty(); }
    const std::vector<Fault>& Faults() const { return faults_; }
    // The faults for the next frame of `order`; uses up their counts. At most
    // one fault that replaces the answer (drop, close, error, garbage,
    // oversize) applies; later ones wait for the next frame.
    AppliedFaults Take(uint8_t order);

private:
    std::vector<Fault> faults_;
};

// One piece of a frame as it goes out: `size` bytes from `offset`, not
// before `delayUs` after the frame was ready.
struct OutPiece {
    size_t offset = 0;
    size_t size = 0;
    uint64_t delayUs = 0;
};

struct FaultedFrame {
    std::vector<uint8_t> bytes;
    std::vector<OutPiece> pieces;
    bool closeConnection = false; // close instead of (after) sending the bytes
};

// Turns a correct frame into what goes out under `faults`. `random` gives
// the bytes of Garbage, GarbageBefore and Oversize. A cut shortens the
// answer (corrupted or not) before the garbage goes in front of it.
FaultedFrame ApplyFaults(const uint8_t* frame, size_t size, const AppliedFaults& faults,
                         uint64_t* random);

} // namespace sim
