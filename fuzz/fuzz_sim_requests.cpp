// Any bytes from the program to the simulated sensor, in any split: the
// request parser hands on only requests whose header is sound and whose data
// fit its buffer, and never reads or writes past it.
#include "link/crc8.h"
#include "sim/request_parser.h"

#include <cstdint>
#include <cstdlib>

namespace {

class Check : public sim::RequestHandler {
public:
    void OnRequest(const com232::FrameHeader& h, const uint8_t* data) override {
        if (h.length > sim::kMaxAcceptedRequestData ||
            com232::crc8Update(data, 0, h.length) != h.dataCrc) {
            std::abort();
        }
    }
    void OnBadRequest(const com232::FrameHeader&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte sets the size of the pieces the stream arrives in.
    const size_t piece = 1 + data[0] % 64;
    sim::RequestParser parser;
    Check check;
    for (size_t at = 1; at < size; at += piece) {
        const size_t n = size - at < piece ? size - at : piece;
        parser.Feed(data + at, n, check);
        if (data[0] & 0x80 && at % 7 == 0) {
            parser.Reset(); // a silent line in the middle of a request
        }
    }
    return 0;
}
