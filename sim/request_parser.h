// Cuts the byte stream from the program into request frames. It survives
// garbage (skips to the next 0x55 that starts a header with a good CRC),
// requests split across reads, bad data CRCs and announced lengths above
// the largest request, never reading or writing past its fixed buffer.
#pragma once

#include "link/frame.h"

#include <cstddef>
#include <cstdint>

namespace sim {

// The largest request data block the sensor accepts (order 1 with the
// TeachTable is 496; anything above this is refused).
constexpr size_t kMaxAcceptedRequestData = 512;

class RequestHandler {
public:
    virtual ~RequestHandler() = default;
    // Header and data CRC good; `data` holds header.length bytes.
    virtual void OnRequest(const com232::FrameHeader& header, const uint8_t* data) = 0;
    // Header good but data CRC wrong, or length above kMaxAcceptedRequestData
    // (then the header alone is dropped and the search for a header goes on).
    virtual void OnBadRequest(const com232::FrameHeader& header) = 0;
};

class RequestParser {
public:
    // Feeds received bytes; calls the handler for every complete request.
    void Feed(const uint8_t* bytes, size_t size, RequestHandler& handler);
    // Drops a partial request (the line stayed silent in the middle of it).
    void Reset() { size_ = 0; }
    bool HasPartial() const { return size_ > 0; }
    uint64_t DiscardedBytes() const { return discarded_; }

private:
    void Parse(RequestHandler& handler);

    uint8_t buf_[com232::kHeaderSize + kMaxAcceptedRequestData];
    size_t size_ = 0;
    uint64_t discarded_ = 0;
};

} // namespace sim
