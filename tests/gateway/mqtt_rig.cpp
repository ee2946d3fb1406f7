#include "tests/gateway/mqtt_rig.h"

#include "tests/support/file_bytes.h"

#include <mosquitto.h>
#include <mqtt_protocol.h>

#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace rig {
namespace {

int gGatewayRuns = 0; // names each run's error file

bool Accepts(unsigned port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

int Spawn(const std::vector<std::string>& args, const std::string& dir, const std::string& err) {
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(e, 2);
        if (::chdir(dir.c_str()) != 0) {
            ::_exit(126);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

int Reap(int pid, double seconds) {
    int status = 0;
    for (int i = 0; i < seconds * 100; ++i) {
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        ::usleep(10000);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
}

void OnMessage(mosquitto*, void* self, const mosquitto_message* m, const mosquitto_property* p) {
    Received r;
    r.topic = m->topic;
    r.payload.assign(static_cast<const char*>(m->payload), static_cast<size_t>(m->payloadlen));
    r.retained = m->retain;
    void* data = nullptr;
    uint16_t length = 0;
    if (mosquitto_property_read_binary(p, MQTT_PROP_CORRELATION_DATA, &data, &length, false)) {
        r.correlation.assign(static_cast<const char*>(data), length);
        free(data);
    }
    static_cast<Subscriber*>(self)->Take(std::move(r));
}

} // namespace

std::string BrokerProgram() {
    for (const char* p : {"/usr/sbin/mosquitto", "/usr/bin/mosquitto"}) {
        if (::access(p, X_OK) == 0) {
            return p;
        }
    }
    return {};
}

unsigned FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

Broker::Broker(const std::string& dir, unsigned port, const std::string& lines)
    : dir_(dir), port_(port) {
    testfiles::WriteBytes(dir_ + "/broker-" + std::to_string(port) + ".conf",
                          "listener " + std::to_string(port) + " 127.0.0.1\npersistence false\n" +
                              lines);
    Start();
}

Broker::~Broker() {
    Kill();
}

bool Broker::Start() {
    const std::string conf = dir_ + "/broker-" + std::to_string(port_) + ".conf";
    pid_ = Spawn({BrokerProgram(), "-c", conf}, dir_,
                 dir_ + "/broker-" + std::to_string(port_) + ".log");
    for (int i = 0; i < 500; ++i) {
        if (Accepts(port_)) {
            return true;
        }
        ::usleep(10000);
    }
    Kill();
    return false;
}

void Broker::Kill() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

std::string Broker::Log() const {
    return testfiles::ReadBytes(dir_ + "/broker-" + std::to_string(port_) + ".log");
}

Subscriber::Subscriber(unsigned port, const std::string& pattern, const std::string& user,
                       const std::string& password) {
    mosquitto_lib_init();
    mosq_ = mosquitto_new(nullptr, true, this);
    mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
    if (!user.empty()) {
        mosquitto_username_pw_set(mosq_, user.c_str(), password.c_str());
    }
    mosquitto_message_v5_callback_set(mosq_, OnMessage);
    mosquitto_connect_v5_callback_set(
        mosq_, [](mosquitto*, void* self, int rc, int, const mosquitto_property*) {
            static_cast<Subscriber*>(self)->SetConnected(rc == 0);
        });
    mosquitto_connect_bind_v5(mosq_, "127.0.0.1", static_cast<int>(port), 30, nullptr, nullptr);
    mosquitto_subscribe_v5(mosq_, nullptr, pattern.c_str(), 1, 0, nullptr);
    mosquitto_loop_start(mosq_);
}

Subscriber::~Subscriber() {
    mosquitto_disconnect(mosq_);
    mosquitto_loop_stop(mosq_, true);
    mosquitto_destroy(mosq_);
}

void Subscriber::Take(Received r) {
    const std::lock_guard<std::mutex> lock(mutex_);
    received_.push_back(std::move(r));
}

void Subscriber::SetConnected(bool connected) {
    const std::lock_guard<std::mutex> lock(mutex_);
    connected_ = connected;
}

bool Subscriber::Connected() {
    for (int i = 0; i < 300; ++i) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (connected_) {
                return true;
            }
        }
        ::usleep(10000);
    }
    return false;
}

std::vector<Received> Subscriber::Wait(const std::string& suffix, const std::string& part,
                                       double seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        std::vector<Received> found;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            for (const Received& r : received_) {
                const bool topic =
                    r.topic.size() >= suffix.size() &&
                    r.topic.compare(r.topic.size() - suffix.size(), suffix.size(), suffix) == 0;
                if (topic && r.payload.find(part) != std::string::npos) {
                    found.push_back(r);
                }
            }
        }
        if (!found.empty() || std::chrono::steady_clock::now() >= until) {
            return found;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::vector<Received> Subscriber::All() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

void Subscriber::Clear() {
    const std::lock_guard<std::mutex> lock(mutex_);
    received_.clear();
}

void Subscriber::Publish(const std::string& topic, const std::string& payload,
                         const std::string& correlation) {
    mosquitto_property* props = nullptr;
    if (!correlation.empty()) {
        mosquitto_property_add_binary(&props, MQTT_PROP_CORRELATION_DATA, correlation.data(),
                                      static_cast<uint16_t>(correlation.size()));
    }
    mosquitto_publish_v5(mosq_, nullptr, topic.c_str(), static_cast<int>(payload.size()),
                         payload.data(), 1, false, props);
    mosquitto_property_free_all(&props);
}

Gateway::Gateway(const std::string& dir, const std::vector<std::string>& args)
    : err_(dir + "/gateway-" + std::to_string(++gGatewayRuns) + ".err") {
    std::vector<std::string> all{C3_GATEWAY_EXECUTABLE};
    all.insert(all.end(), args.begin(), args.end());
    pid_ = Spawn(all, dir, err_);
}

Gateway::~Gateway() {
    if (pid_ > 0) {
        Stop(SIGKILL);
    }
}

int Gateway::Stop(int signal) {
    ::kill(pid_, signal);
    return Wait();
}

int Gateway::Wait() {
    const int status = Reap(pid_, 20);
    pid_ = -1;
    return status;
}

std::string Gateway::Err() const {
    return testfiles::ReadBytes(err_);
}

} // namespace rig
