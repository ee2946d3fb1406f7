// Throughput of the table-driven CRC-8 over a 1 MiB block.
#include "link/crc8.h"

#include <chrono>
#include <cstdio>
#include <vector>

int main() {
    std::vector<uint8_t> block(1 << 20);
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(i * 131 + 7);
    }
    const int rounds = 200;
    unsigned sink = 0;
    const auto t0 = std::chrono::steady_clock::now();
    for (int r = 0; r < rounds; ++r) {
        block[0] = static_cast<uint8_t>(r);
        sink += com232::crc8Update(block.data(), 0, block.size());
    }
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double mib = rounds * (block.size() / 1048576.0);
    std::printf("crc8Update: %.1f MiB/s (%.2f ns/byte) [checksum %u]\n", mib / s,
                s * 1e9 / (rounds * static_cast<double>(block.size())), sink);
    // A 504-byte request, the largest the program sends.
    const int frames = 200000;
    const auto t1 = std::chrono::steady_clock::now();
    for (int r = 0; r < frames; ++r) {
        block[1] = static_cast<uint8_t>(r);
        sink += com232::crc8Update(block.data(), 0, 504);
    }
    const double s1 = std::chrono::duration<double>(std::chrono::steady_clock::now() - t1).count();
    std::printf("crc8Update of a 504-byte request: %.0f ns [checksum %u]\n", s1 * 1e9 / frames,
                sink);
    return 0;
}
