#include "sim/fault_plan.h"

#include "link/crc8.h"
#include "link/frame.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace sim {
namespace {

struct KindInfo {
    const char* name;
    FaultKind kind;
    int args; // number of numeric arguments
    const char* usage;
};

constexpr KindInfo kKinds[] = {
    {"delay-header", FaultKind::DelayHeader, 1,
     "delay-header MS    hold the whole answer MS before its first byte"},
    {"delay-data", FaultKind::DelayData, 1, "delay-data MS      header on time, data MS later"},
    {"drop", FaultKind::Drop, 0, "drop               no answer at all"},
    {"corrupt-header", FaultKind::CorruptHeader, 0, "corrupt-header     wrong header CRC"},
    {"corrupt-data", FaultKind::CorruptData, 0,
     "corrupt-data       a data byte changed, data CRC wrong"},
    {"error", FaultKind::Error, 1, "error CODE         error answer (order 0, parameter CODE)"},
    {"split", FaultKind::Split, 2, "split BYTES MS     answer in pieces of BYTES, MS apart"},
    {"close", FaultKind::Close, 0, "close              close the connection instead of answering"},
    {"garbage", FaultKind::Garbage, 1, "garbage N          N random bytes instead of the answer"},
    {"oversize", FaultKind::Oversize, 1,
     "oversize LEN       good header announcing LEN data bytes, then LEN bytes"},
    {"cut", FaultKind::Cut, 1,
     "cut N              only the first N bytes of the answer, then silence"},
    {"garbage-before", FaultKind::GarbageBefore, 1,
     "garbage-before N   N random bytes, then the answer"},
};

const KindInfo* InfoOf(FaultKind kind) {
    for (const KindInfo& k : kKinds) {
        if (k.kind == kind) {
            return &k;
        }
    }
    return nullptr;
}

bool ParseNumber(const std::string& s, uint32_t* out) {
    if (s.empty() || s.size() > 10) {
        return false;
    }
    char* end = nullptr;
    const unsigned long long v = std::strtoull(s.c_str(), &end, 10);
    if (*end != '\0' || s[0] == '-' || v > 0xFFFFFFFFULL) {
        return false;
    }
    *out = static_cast<uint32_t>(v);
    return true;
}

bool Replaces(FaultKind k) {
    return k == FaultKind::Drop || k == FaultKind::Close || k == FaultKind::Error ||
           k == FaultKind::Garbage || k == FaultKind::Oversize;
}

uint8_t NextRandom(uint64_t* state) {
    *state ^= *state << 13;
    *state ^= *state >> 7;
    *state ^= *state << 17;
    return static_cast<uint8_t>(*state >> 24);
}

} // namespace

bool ParseFault(const std::string& text, Fault* fault, std::string* error) {
    std::istringstream in(text);
    std::string word;
    if (!(in >> word)) {
        *error = "fault kind missing";
        return false;
    }
    const KindInfo* info = nullptr;
    for (const KindInfo& k : kKinds) {
        if (word == k.name) {
            info = &k;
        }
    }
    if (info == nullptr) {
        *error = "unknown fault kind '" + word + "'";
        return false;
    }
    Fault f;
    f.kind = info->kind;
    uint32_t* args[2] = {&f.a, &f.b};
    for (int i = 0; i < info->args; ++i) {
        if (!(in >> word) || !ParseNumber(word, args[i])) {
            *error = std::string("usage: ") + info->usage;
            return false;
        }
    }
    while (in >> word) {
        const size_t eq = word.find('=');
        uint32_t v = 0;
        if (eq == std::string::npos || !ParseNumber(word.substr(eq + 1), &v)) {
            *error = "bad option '" + word + "' (order=N, count=K, skip=S)";
            return false;
        }
        const std::string key = word.substr(0, eq);
        if (key == "order" && v <= 255) {
            f.order = static_cast<int>(v);
        } else if (key == "count") {
            f.count = v;
        } else if (key == "skip") {
            f.skip = v;
        } else {
            *error = "bad option '" + word + "' (order=N, count=K, skip=S)";
            return false;
        }
    }
    if ((f.kind == FaultKind::Split && f.a == 0) || (f.kind == FaultKind::Error && f.a > 0xFFFF) ||
        (f.kind == FaultKind::Oversize && f.a > 0xFFFF) ||
        ((f.kind == FaultKind::Garbage || f.kind == FaultKind::GarbageBefore) && f.a > 0x100000)) {
        *error = std::string("argument out of range: ") + info->usage;
        return false;
    }
    *fault = f;
    return true;
}

std::string DescribeFault(const Fault& f) {
    const KindInfo* info = InfoOf(f.kind);
    std::ostringstream out;
    out << info->name;
    if (info->args >= 1) {
        out << ' ' << f.a;
    }
    if (info->args >= 2) {
        out << ' ' << f.b;
    }
    if (f.order >= 0) {
        out << " order=" << f.order;
    }
    out << " count=" << f.count;
    if (f.skip > 0) {
        out << " skip=" << f.skip;
    }
    return out.str();
}

std::string FaultUsage() {
    std::string s;
    for (const KindInfo& k : kKinds) {
        s += "  ";
        s += k.usage;
        s += '\n';
    }
    return s;
}

AppliedFaults FaultPlan::Take(uint8_t order) {
    AppliedFaults a;
    bool replaced = false;
    for (auto it = faults_.begin(); it != faults_.end();) {
        Fault& f = *it;
        if ((f.order >= 0 && f.order != order) || (Replaces(f.kind) && replaced)) {
            ++it;
            continue;
        }
        if (f.skip > 0) {
            --f.skip;
            ++it;
            continue;
        }
        a.any = true;
        switch (f.kind) {
        case FaultKind::DelayHeader:
            a.delayHeaderMs += f.a;
            break;
        case FaultKind::DelayData:
            a.delayDataMs += f.a;
            break;
        case FaultKind::Drop:
            a.drop = true;
            break;
        case FaultKind::CorruptHeader:
            a.corruptHeader = true;
            break;
        case FaultKind::CorruptData:
            a.corruptData = true;
            break;
        case FaultKind::Error:
            a.errorCode = static_cast<int>(f.a);
            break;
        case FaultKind::Split:
            a.splitBytes = f.a;
            a.splitMs = f.b;
            break;
        case FaultKind::Close:
            a.close = true;
            break;
        case FaultKind::Garbage:
            a.garbage = f.a;
            break;
        case FaultKind::Oversize:
            a.oversize = f.a;
            break;
        case FaultKind::Cut:
            a.cut = a.cut < 0 ? f.a : std::min<int64_t>(a.cut, f.a);
            break;
        case FaultKind::GarbageBefore:
            a.garbageBefore += f.a;
            break;
        }
        replaced = replaced || Replaces(f.kind);
        if (f.count == 1) {
            it = faults_.erase(it);
            continue;
        }
        if (f.count > 1) {
            --f.count;
        }
        ++it;
    }
    return a;
}

FaultedFrame ApplyFaults(const uint8_t* frame, size_t size, const AppliedFaults& faults,
                         uint64_t* random) {
    FaultedFrame out;
    if (faults.drop) {
        return out;
    }
    if (faults.close) {
        out.closeConnection = true;
        return out;
    }
    if (faults.errorCode >= 0) {
        out.bytes.resize(com232::kHeaderSize);
        com232::EncodeHeader(0, static_cast<uint16_t>(faults.errorCode), 0, com232::kCrcInit,
                             out.bytes.data());
    } else if (faults.garbage >= 0) {
        out.bytes.resize(static_cast<size_t>(faults.garbage));
        for (uint8_t& b : out.bytes) {
            b = NextRandom(random);
        }
    } else if (faults.oversize >= 0) {
        const auto len = static_cast<uint16_t>(faults.oversize);
        out.bytes.resize(com232::kHeaderSize + len);
        for (size_t i = com232::kHeaderSize; i < out.bytes.size(); ++i) {
            out.bytes[i] = NextRandom(random);
        }
        com232::EncodeHeader(frame[1], com232::GetU16(frame + 2), len,
                             com232::crc8Update(out.bytes.data(), com232::kHeaderSize, len),
                             out.bytes.data());
    } else {
        out.bytes.assign(frame, frame + size);
    }
    const bool isFrame = faults.garbage < 0 && out.bytes.size() >= com232::kHeaderSize;
    if (isFrame && faults.corruptHeader) {
        out.bytes[7] ^= 0xFF;
    }
    if (isFrame && faults.corruptData && out.bytes.size() > com232::kHeaderSize) {
        out.bytes[com232::kHeaderSize] ^= 0x5A;
    }
    if (faults.cut >= 0 && static_cast<uint64_t>(faults.cut) < out.bytes.size()) {
        out.bytes.resize(static_cast<size_t>(faults.cut));
    }
    if (faults.garbageBefore > 0) {
        std::vector<uint8_t> prefix(faults.garbageBefore);
        for (uint8_t& b : prefix) {
            b = NextRandom(random);
        }
        out.bytes.insert(out.bytes.begin(), prefix.begin(), prefix.end());
    }

    // Timing: the delays, then the pieces of Split. The header ends behind
    // the garbage in front of it.
    const size_t headerEnd = isFrame ? faults.garbageBefore + com232::kHeaderSize : 0;
    uint64_t at = static_cast<uint64_t>(faults.delayHeaderMs) * 1000;
    size_t pos = 0;
    bool pause = false;
    const auto addPieces = [&](size_t end) {
        while (pos < end) {
            const size_t n =
                faults.splitBytes > 0 ? std::min<size_t>(faults.splitBytes, end - pos) : end - pos;
            if (pause) {
                at += static_cast<uint64_t>(faults.splitMs) * 1000;
            }
            out.pieces.push_back({pos, n, at});
            pos += n;
            pause = faults.splitBytes > 0;
        }
    };
    if (faults.delayDataMs > 0 && headerEnd > 0 && headerEnd < out.bytes.size()) {
        addPieces(headerEnd);
        at += static_cast<uint64_t>(faults.delayDataMs) * 1000;
        pause = false;
    }
    addPieces(out.bytes.size());
    return out;
}

} // namespace sim
