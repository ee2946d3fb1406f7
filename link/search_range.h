// The TCP/IP addresses a sensor search probes, as a user types them: single
// hosts, ranges of IPv4 addresses and networks, each with an optional port.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace com232 {

constexpr unsigned kSensorTcpPort = 10001;
// More addresses than this are probed only when the user confirms it
// (chromik3-cli find --force): a typing error must not sweep a plant network.
constexpr size_t kSearchAddressesUnasked = 256;
// Never more than this many, confirmed or not (a /16).
constexpr size_t kSearchAddressesMax = 65536;

struct TcpTarget {
    std::string host;
    unsigned port = kSensorTcpPort;
    bool operator==(const TcpTarget& o) const { return host == o.host && port == o.port; }
};

// Adds the addresses `text` names to *targets, each once, in the order
// given. `text` holds one or more entries separated by commas or blanks:
//   HOST[:PORT]                      a host name or an address ([v6]:PORT)
//   192.168.0.20-40[:PORT]           the last part running from 20 to 40
//   192.168.0.250-192.168.1.10       any two IPv4 addresses, the first lower
//   10.0.5.0/24[:PORT]               a network; for /30 and wider without its
//                                    network and broadcast addresses
// The port is 10001 when left out. False, with what is wrong with which
// entry in *error and *targets as it was, for a malformed entry or when
// the addresses would be more than kSearchAddressesMax.
bool ParseTcpRanges(const std::string& text, std::vector<TcpTarget>* targets, std::string* error);

// "192.168.0.21:10001"; an IPv6 address in brackets.
std::string TcpTargetName(const TcpTarget& target);

} // namespace com232
