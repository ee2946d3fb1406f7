#include "sensor/target_file.h"

#include "platform/com_port_map.h"
#include "sensor/address.h"

#include <fstream>
#include <netdb.h>
#include <set>
#include <sys/socket.h>

namespace sensor {
namespace {

// Every address a host name resolves to, as numeric text with the port;
// the name itself when it does not resolve (its run reports why).
std::set<std::string> TcpEndpoints(const Address& a) {
    std::set<std::string> endpoints;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    const std::string port = std::to_string(a.port);
    if (::getaddrinfo(a.host.c_str(), port.c_str(), &hints, &list) == 0) {
        for (const addrinfo* i = list; i != nullptr; i = i->ai_next) {
            char host[NI_MAXHOST];
            if (::getnameinfo(i->ai_addr, i->ai_addrlen, host, sizeof host, nullptr, 0,
                              NI_NUMERICHOST) == 0) {
                endpoints.insert(std::string(host) + "/" + port);
            }
        }
        ::freeaddrinfo(list);
    }
    if (endpoints.empty()) {
        endpoints.insert(a.host + "/" + port);
    }
    return endpoints;
}

} // namespace

std::set<std::string> TargetIdentity(const std::vector<std::string>& addressArgs) {
    Address a;
    std::string error;
    AddressOfTarget(addressArgs, &a, &error);
    if (!a.serial) {
        return TcpEndpoints(a);
    }
    const std::string device = a.device.empty() ? platform::ComPortToDevice(a.com) : a.device;
    return {"device " + platform::CanonicalDevicePath(device)};
}

bool ReadTargetsFile(const std::string& path, std::vector<TargetLine>* targets,
                     std::vector<std::string>* problems) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        problems->push_back("cannot read the targets file " + path);
        return false;
    }
    std::vector<std::set<std::string>> identities;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) {
            line.erase(0, 3);
        }
        const std::string where = path + ":" + std::to_string(number) + ": ";
        TargetLine t;
        t.number = number;
        std::string error;
        if (!TargetLineOptions(line, &t.addressArgs, &error)) {
            problems->push_back(where + error);
            continue;
        }
        if (t.addressArgs.empty()) {
            continue;
        }
        t.name = (t.addressArgs[0] == "--com" ? "com:" : "") + t.addressArgs[1] +
                 (t.addressArgs.size() > 3 ? "@" + t.addressArgs[3] : "");
        std::set<std::string> identity = TargetIdentity(t.addressArgs);
        for (size_t i = 0; i < targets->size(); ++i) {
            for (const std::string& e : identity) {
                if (identities[i].count(e) != 0) {
                    problems->push_back(where + t.name + " is the sensor of line " +
                                        std::to_string((*targets)[i].number) + " (" +
                                        (*targets)[i].name + ") again");
                    break;
                }
            }
        }
        identities.push_back(std::move(identity));
        targets->push_back(std::move(t));
    }
    if (in.bad()) {
        problems->push_back("cannot read the targets file " + path);
    }
    if (problems->empty() && targets->empty()) {
        problems->push_back("no sensor in " + path);
    }
    return problems->empty();
}

} // namespace sensor
