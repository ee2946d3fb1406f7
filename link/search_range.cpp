#include "link/search_range.h"

#include <algorithm>
#include <cstdint>
#include <set>

namespace com232 {
namespace {

// A dotted IPv4 address of four parts 0..255, without leading zeros that
// could be read as octal.
bool ParseIpv4(const std::string& text, uint32_t* address) {
    uint32_t value = 0;
    size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        const size_t end = part < 3 ? text.find('.', at) : text.size();
        if (end == std::string::npos) {
            return false;
        }
        const std::string digits = text.substr(at, end - at);
        if (digits.empty() || digits.size() > 3 ||
            digits.find_first_not_of("0123456789") != std::string::npos ||
            (digits.size() > 1 && digits[0] == '0') || std::stoi(digits) > 255) {
            return false;
        }
        value = value << 8 | static_cast<uint32_t>(std::stoi(digits));
        at = end + 1;
    }
    *address = value;
    return true;
}

std::string Ipv4Text(uint32_t a) {
    return std::to_string(a >> 24) + "." + std::to_string(a >> 16 & 255) + "." +
           std::to_string(a >> 8 & 255) + "." + std::to_string(a & 255);
}

bool ParseNumber(const std::string& digits, unsigned low, unsigned high, unsigned* out) {
    if (digits.empty() || digits.size() > 5 ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const unsigned long n = std::stoul(digits);
    if (n < low || n > high) {
        return false;
    }
    *out = static_cast<unsigned>(n);
    return true;
}

// An IPv4 address, range or network: the first and last address.
bool ParseIpv4Span(const std::string& text, uint32_t* first, uint32_t* last, std::string* why) {
    const size_t slash = text.find('/');
    if (slash != std::string::npos) {
        unsigned bits = 0;
        if (!ParseIpv4(text.substr(0, slash), first) ||
            !ParseNumber(text.substr(slash + 1), 0, 32, &bits)) {
            *why = "not ADDRESS/BITS with BITS from 0 to 32";
            return false;
        }
        const uint32_t mask = bits == 0 ? 0 : ~uint32_t{0} << (32 - bits);
        *first &= mask;
        *last = *first | ~mask;
        if (bits <= 30) {
            ++*first; // the network's own address
            --*last;  // its broadcast address
        }
        return true;
    }
    const size_t dash = text.find('-');
    if (dash == std::string::npos) {
        if (!ParseIpv4(text, first)) {
            *why = "not an IPv4 address (four numbers 0 to 255)";
            return false;
        }
        *last = *first;
        return true;
    }
    const std::string to = text.substr(dash + 1);
    if (!ParseIpv4(text.substr(0, dash), first)) {
        *why = "the range does not start with an IPv4 address";
        return false;
    }
    if (to.find('.') == std::string::npos) {
        // 192.168.0.20-40: the last part of the first address runs to 40.
        unsigned lastPart = 0;
        if (!ParseNumber(to, 0, 255, &lastPart) || (to.size() > 1 && to[0] == '0')) {
            *why = "the range does not end with a number 0 to 255";
            return false;
        }
        *last = (*first & ~uint32_t{255}) | lastPart;
    } else if (!ParseIpv4(to, last)) {
        *why = "the range does not end with an IPv4 address";
        return false;
    }
    if (*last < *first) {
        *why = "the range runs backwards";
        return false;
    }
    return true;
}

// HOST[:PORT] of one entry; the host part still to be read.
bool SplitPort(const std::string& entry, std::string* host, unsigned* port, std::string* why) {
    size_t colon = std::string::npos;
    if (entry[0] == '[') {
        const size_t close = entry.find(']');
        if (close == std::string::npos || close == 1) {
            *why = "no address in brackets";
            return false;
        }
        *host = entry.substr(1, close - 1);
        if (close + 1 < entry.size()) {
            if (entry[close + 1] != ':') {
                *why = "not [ADDRESS]:PORT";
                return false;
            }
            colon = close + 1;
        }
    } else {
        colon = entry.rfind(':');
        if (colon != std::string::npos && entry.find(':') != colon) {
            colon = std::string::npos; // an IPv6 address without a port
        }
        *host = entry.substr(0, colon);
    }
    if (colon != std::string::npos && !ParseNumber(entry.substr(colon + 1), 1, 65535, port)) {
        *why = "not a port number from 1 to 65535: " + entry.substr(colon + 1);
        return false;
    }
    if (host->empty()) {
        *why = "no host";
        return false;
    }
    return true;
}

} // namespace

std::string TcpTargetName(const TcpTarget& t) {
    const bool v6 = t.host.find(':') != std::string::npos;
    return (v6 ? "[" + t.host + "]" : t.host) + ":" + std::to_string(t.port);
}

bool ParseTcpRanges(const std::string& text, std::vector<TcpTarget>* targets, std::string* error) {
    std::vector<TcpTarget> out = *targets;
    std::set<std::string> seen;
    for (const TcpTarget& t : out) {
        seen.insert(TcpTargetName(t));
    }
    const auto add = [&](TcpTarget t) {
        if (seen.insert(TcpTargetName(t)).second) {
            out.push_back(std::move(t));
        }
    };
    std::string entry;
    for (size_t at = 0; at <= text.size(); ++at) {
        const char c = at < text.size() ? text[at] : ',';
        if (c != ',' && c != ' ' && c != '\t' && c != '\n' && c != ';') {
            entry += c;
            continue;
        }
        if (entry.empty()) {
            continue;
        }
        std::string host;
        unsigned port = kSensorTcpPort;
        std::string why;
        const auto fail = [&] {
            *error = entry + ": " + why;
            return false;
        };
        if (!SplitPort(entry, &host, &port, &why)) {
            return fail();
        }
        const bool numeric =
            host.find_first_not_of("0123456789.-/") == std::string::npos && entry[0] != '[';
        if (!numeric) {
            // A host name: letters, digits, dots, dashes (or an IPv6 address).
            const bool v6 = host.find(':') != std::string::npos;
            if (host.find_first_not_of(v6 ? "0123456789abcdefABCDEF:."
                                          : "0123456789abcdefghijklmnopqrstuvwxyz"
                                            "ABCDEFGHIJKLMNOPQRSTUVWXYZ.-_") != std::string::npos) {
                why = v6 ? "not an IPv6 address" : "not a host name, address or range";
                return fail();
            }
            add({host, port});
        } else {
            uint32_t first = 0;
            uint32_t last = 0;
            if (!ParseIpv4Span(host, &first, &last, &why)) {
                return fail();
            }
            const uint64_t count = uint64_t{last} - first + 1;
            if (out.size() + count > kSearchAddressesMax) {
                why = "more than " + std::to_string(kSearchAddressesMax) +
                      " addresses in all; search a smaller range";
                return fail();
            }
            for (uint64_t a = first; a <= last; ++a) {
                add({Ipv4Text(static_cast<uint32_t>(a)), port});
            }
        }
        entry.clear();
    }
    *targets = std::move(out);
    return true;
}

} // namespace com232
