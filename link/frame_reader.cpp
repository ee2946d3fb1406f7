#include "link/frame_reader.h"

#include "link/crc8.h"
#include "link/link_texts.h"

#include <algorithm>
#include <cstring>

namespace com232 {

const char* ErrorAnswerText(const FrameHeader& h) {
    if (h.order != 0) {
        return nullptr;
    }
    if (h.param == kErrorInvalidOrder) {
        return kTextInvalidOrder;
    }
    if (h.param == kErrorCommunication) {
        return kTextCommunicationError;
    }
    return nullptr; // other codes: taken as a regular answer
}

FrameReader::FrameReader(uint8_t* buffer, size_t capacity, int* count)
    : buffer_(buffer), capacity_(capacity), count_(count) {}

void FrameReader::Clear() {
    *count_ = 0;
}

size_t FrameReader::Size() const {
    return static_cast<size_t>(std::clamp(*count_, 0, static_cast<int>(capacity_)));
}

size_t FrameReader::Room() const {
    return capacity_ - Size();
}

uint8_t* FrameReader::Tail() {
    return buffer_ + Size();
}

void FrameReader::Added(size_t n) {
    *count_ = static_cast<int>(Size() + std::min(n, Room()));
}

size_t FrameReader::Append(const uint8_t* bytes, size_t n) {
    n = std::min(n, Room());
    std::memcpy(Tail(), bytes, n);
    Added(n);
    return n;
}

FrontState FrameReader::FrontHeader(FrameHeader* h) const {
    if (Size() < kHeaderSize) {
        return FrontState::kNeedHeader;
    }
    if (!DecodeHeader(buffer_, h) || h->length > capacity_ - kHeaderSize) {
        return FrontState::kBadHeader;
    }
    return FrontState::kNeedData;
}

FrontState FrameReader::Front(FrameHeader* h) const {
    const FrontState s = FrontHeader(h);
    if (s != FrontState::kNeedData) {
        return s;
    }
    if (Size() < kHeaderSize + h->length) {
        return FrontState::kNeedData;
    }
    if (crc8Update(buffer_, kHeaderSize, h->length) != h->dataCrc) {
        return FrontState::kBadData;
    }
    return FrontState::kComplete;
}

bool FrameReader::WholeFrameAtFront() const {
    FrameHeader h;
    const FrontState s = Front(&h);
    return s == FrontState::kComplete || s == FrontState::kBadData;
}

void FrameReader::Drop(size_t n) {
    const size_t size = Size();
    n = std::min(n, size);
    std::memmove(buffer_, buffer_ + n, size - n);
    *count_ = static_cast<int>(size - n);
}

} // namespace com232
