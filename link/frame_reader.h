// The frame reader: received bytes collect in a buffer, in whatever pieces
// the transport delivers them, and the frame at its front is checked part
// by part: the header (start byte, header CRC, an announced length that
// fits behind it), then the data part (its CRC). A frame taken is removed
// and what came behind it moves to the front, so frames that arrive
// together are all kept. Bytes in front of a header are not skipped: a
// frame must start where the previous one ended, anything else is a bad
// header. Pure logic: used by the exchange, the triggered recording and
// the scope capture, on either transport.
#pragma once

#include "link/frame.h"

#include <cstddef>
#include <cstdint>

namespace com232 {

// What the front of the buffer holds.
enum class FrontState {
    kNeedHeader, // fewer than the 8 header bytes
    kBadHeader,  // a wrong start byte, a bad header CRC or a length that does not fit
    kNeedData,   // a good header, its data part not complete yet
    kBadData,    // header and data complete, the data CRC does not match
    kComplete,   // a whole, correct frame
};

// The error an error answer (order 0) reports, if it is one of the two the
// link knows; nullptr for any other frame.
const char* ErrorAnswerText(const FrameHeader& h);

class FrameReader {
public:
    // Works on `capacity` bytes at `buffer`; `*count` holds how many are
    // filled (the link keeps both where the rest of the program sees them).
    FrameReader(uint8_t* buffer, size_t capacity, int* count);

    void Clear();
    size_t Size() const;
    size_t Room() const;
    // Where the next received bytes go (Room() bytes free there).
    uint8_t* Tail();
    // Takes `n` bytes written at Tail().
    void Added(size_t n);
    // Copies up to Room() bytes in; returns how many were taken.
    size_t Append(const uint8_t* bytes, size_t n);

    // Checks the frame at the front; fills `*h` once the header is good.
    FrontState Front(FrameHeader* h) const;
    // Checks the header alone (bytes behind it are not looked at).
    FrontState FrontHeader(FrameHeader* h) const;
    // True when a whole frame (good header, all its data) is at the front.
    bool WholeFrameAtFront() const;
    // Removes the first `n` bytes (at most all), moving the rest to the front.
    void Drop(size_t n);

private:
    uint8_t* buffer_;
    size_t capacity_;
    int* count_;
};

} // namespace com232
