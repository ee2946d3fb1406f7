#include "sim/simulator.h"

#include "platform/com_port_map.h"
#include "sim/server.h"

namespace sim {

Simulator::Simulator(Options options) : server_(std::make_unique<Server>(options)) {}

Simulator::~Simulator() {
    Stop();
}

bool Simulator::Start(std::string* error) {
    std::string ignored;
    return server_->Start(error != nullptr ? error : &ignored);
}

void Simulator::Stop() {
    server_->Stop();
}

uint16_t Simulator::TcpPort() const {
    return server_->TcpPort();
}

std::string Simulator::PtyPath() const {
    return server_->PtyPath();
}

int Simulator::PtyComPort() const {
    const std::string path = PtyPath();
    return path.empty() ? -1 : platform::DeviceToComPort(path);
}

uint16_t Simulator::ControlPort() const {
    return server_->ControlPort();
}

std::string Simulator::Command(const std::string& line) {
    return server_->Command(line);
}

} // namespace sim
