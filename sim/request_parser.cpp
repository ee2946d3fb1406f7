#include "sim/request_parser.h"

#include "link/crc8.h"

#include <algorithm>
#include <cstring>

namespace sim {

void RequestParser::Feed(const uint8_t* bytes, size_t size, RequestHandler& handler) {
    while (size > 0) {
        const size_t n = std::min(size, sizeof buf_ - size_);
        std::memcpy(buf_ + size_, bytes, n);
        size_ += n;
        bytes += n;
        size -= n;
        Parse(handler);
    }
}

void RequestParser::Parse(RequestHandler& handler) {
    size_t pos = 0;
    while (size_ - pos >= com232::kHeaderSize) {
        com232::FrameHeader h;
        if (!com232::DecodeHeader(buf_ + pos, &h)) {
            // Not a header here: skip to the next start byte.
            const void* next = std::memchr(buf_ + pos + 1, com232::kFrameStart, size_ - pos - 1);
            const size_t to = next != nullptr ? static_cast<const uint8_t*>(next) - buf_ : size_;
            discarded_ += to - pos;
            pos = to;
            continue;
        }
        if (h.length > kMaxAcceptedRequestData) {
            handler.OnBadRequest(h);
            pos += com232::kHeaderSize;
            continue;
        }
        const size_t total = com232::kHeaderSize + h.length;
        if (size_ - pos < total) {
            break; // the rest of this request is still on its way
        }
        const uint8_t* data = buf_ + pos + com232::kHeaderSize;
        if (com232::crc8Update(data, 0, h.length) == h.dataCrc) {
            handler.OnRequest(h, data);
        } else {
            handler.OnBadRequest(h);
        }
        pos += total;
    }
    if (pos > 0) {
        std::memmove(buf_, buf_ + pos, size_ - pos);
        size_ -= pos;
    }
}

} // namespace sim
