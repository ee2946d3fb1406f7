// A stand-in for the run-time services under the link: no sockets, no
// ports, no widgets. The sensor's answer is a byte stream handed over in
// pieces, one piece per pass of ProcessSystemEvents, on a virtual clock that
// advances with every pass, so that time-outs come quickly and the same
// input always takes the same path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fake {

// Starts a new stream: `bytes` arrive `piece` bytes per pass (at least 1).
void SetAnswerStream(const uint8_t* bytes, size_t size, size_t piece);
// Whether the stream ends with the peer closing the TCP connection.
void SetCloseAtEnd(bool close);
// Seconds of virtual time each pass of ProcessSystemEvents takes.
void SetPassSeconds(double seconds);
// Bytes the link wrote since the last call.
std::vector<uint8_t> TakeWritten();

} // namespace fake
