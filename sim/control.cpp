#include "sim/control.h"

#include <cstdlib>
#include <sstream>
#include <vector>

namespace sim {
namespace {

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    std::string w;
    while (in >> w) {
        words.push_back(w);
    }
    return words;
}

bool ToDouble(const std::string& s, double lo, double hi, double* out) {
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (s.empty() || *end != '\0' || !(v >= lo && v <= hi)) {
        return false;
    }
    *out = v;
    return true;
}

const char* ScopeStateName(ScopeCapture::State s) {
    switch (s) {
    case ScopeCapture::State::Waiting:
        return "waiting";
    case ScopeCapture::State::Collecting:
        return "collecting";
    default:
        return "idle";
    }
}

std::string Status(ControlContext& ctx) {
    Dispatcher& d = ctx.GetDispatcher();
    d.Poll(ctx.NowUs(), ctx.Sink());
    SensorCore& core = d.Core();
    std::ostringstream s;
    s << ctx.TransportStatus() << " baud-index=" << d.BaudIndex() << " line-baud=" << d.LineBaud()
      << " auto-send=" << (d.AutoSend() ? "on" : "off") << " auto-sent=" << d.AutoSentCount()
      << " scope=" << ScopeStateName(d.Scope().GetState())
      << " scene=" << core.GetScene().Describe(ctx.NowUs())
      << " in0=" << (core.In0Mode() < 0 ? "auto" : std::to_string(core.In0Mode())) << '('
      << (core.In0Mode() < 0 ? core.GetScene().LightBarrierAt(ctx.NowUs()) : core.In0Mode() != 0)
      << ')' << " cycle-us=" << core.CycleUs() << " faults=" << ctx.Faults().Faults().size()
      << " requests=" << d.RequestCount();
    if (!d.PersistError().empty()) {
        s << " eeprom-error=\"" << d.PersistError() << '"';
    }
    s << '\n';
    return s.str();
}

std::string Live(ControlContext& ctx) {
    Dispatcher& d = ctx.GetDispatcher();
    d.Poll(ctx.NowUs(), ctx.Sink());
    const live::LiveDataFrameBytes f = d.Core().LiveFrame();
    static const char* kNames[live::kLiveFieldCount] = {
        "RED",  "GREEN", "BLUE",  "X",     "Y",     "INT",   "DC",    "COLOR", "GROUP", "TRIGGER",
        "TEMP", "RAW-R", "RAW-G", "RAW-B", "MIN-R", "MIN-G", "MIN-B", "MAX-R", "MAX-G", "MAX-B"};
    std::ostringstream s;
    for (int i = 0; i < live::kLiveFieldCount; ++i) {
        s << (i > 0 ? " " : "") << kNames[i] << '=' << f.get(static_cast<live::LiveField>(i));
    }
    s << '\n';
    return s.str();
}

std::string FaultCommand(const std::vector<std::string>& w, const std::string& line,
                         ControlContext& ctx) {
    if (w.size() == 2 && w[1] == "clear") {
        ctx.Faults().Clear();
        return "ok: faults cleared\n";
    }
    if (w.size() == 2 && w[1] == "list") {
        std::string s;
        for (const Fault& f : ctx.Faults().Faults()) {
            s += DescribeFault(f) + "\n";
        }
        return s;
    }
    Fault f;
    std::string error;
    if (!ParseFault(line.substr(line.find("fault") + 5), &f, &error)) {
        return "error: " + error + "\n";
    }
    ctx.Faults().Add(f);
    return "ok: fault " + DescribeFault(f) + "\n";
}

} // namespace

std::string ControlHelp() {
    return "Control commands (one a line):\n"
           "  fault KIND [ARGS] [order=N] [count=K] [skip=S]\n"
           "                     inject a fault into the next K frames (default 1, 0 = until\n"
           "                     cleared) of order N (default any), after letting S pass:\n" +
           FaultUsage() +
           "  fault list         the faults still pending\n"
           "  fault clear        remove all faults\n"
           "  close              close the client connection now\n"
           "  received           requests since the last clear, \"ORDER PARAM LENGTH\" a line\n"
           "  received clear     forget them\n"
           "  scene color R G B  fix the target to one colour (raw counts at the reference "
           "setting)\n"
           "  scene auto         run the conveyor again\n"
           "  scene noise SIGMA  receiver noise in raw counts (0 = none)\n"
           "  in0 0|1|auto       force the input IN0, or let the light barrier drive it\n"
           "  trigger            fire the trigger once (automatic sending, scope)\n"
           "  live               the current live data frame as text\n"
           "  status             one-line summary\n"
           "  help               this list\n"
           "  quit               end the simulator (standard input only)\n";
}

std::string ExecuteControl(const std::string& line, ControlContext& ctx) {
    const std::vector<std::string> w = Words(line);
    if (w.empty()) {
        return "error: empty command\n";
    }
    Dispatcher& d = ctx.GetDispatcher();
    SensorCore& core = d.Core();
    const std::string& cmd = w[0];
    if (cmd == "fault" && w.size() >= 2) {
        return FaultCommand(w, line, ctx);
    }
    if (cmd == "close" && w.size() == 1) {
        return ctx.CloseClient() ? "ok: connection closed\n" : "ok: no client connected\n";
    }
    if (cmd == "received" && w.size() == 1) {
        std::string s;
        for (const ReceivedRequest& r : d.Received()) {
            s += std::to_string(r.order) + " " + std::to_string(r.param) + " " +
                 std::to_string(r.length) + "\n";
        }
        return s;
    }
    if (cmd == "received" && w.size() == 2 && w[1] == "clear") {
        d.ClearReceived();
        return "ok: received cleared\n";
    }
    if (cmd == "scene" && w.size() == 5 && w[1] == "color") {
        double c[3];
        for (int i = 0; i < 3; ++i) {
            if (!ToDouble(w[2 + i], 0, 65535, &c[i])) {
                return "error: usage: scene color R G B (0..65535)\n";
            }
        }
        d.Poll(ctx.NowUs(), ctx.Sink()); // scans so far saw the old scene
        core.GetScene().FixColour({c[0], c[1], c[2]});
        return "ok: scene fixed to " + w[2] + " " + w[3] + " " + w[4] + "\n";
    }
    if (cmd == "scene" && w.size() == 2 && w[1] == "auto") {
        d.Poll(ctx.NowUs(), ctx.Sink());
        core.GetScene().RunConveyor();
        return "ok: conveyor running\n";
    }
    if (cmd == "scene" && w.size() == 3 && w[1] == "noise") {
        double sigma = 0;
        if (!ToDouble(w[2], 0, 1000, &sigma)) {
            return "error: usage: scene noise SIGMA (0..1000)\n";
        }
        d.Poll(ctx.NowUs(), ctx.Sink());
        core.GetScene().SetNoise(sigma);
        return "ok: noise " + w[2] + "\n";
    }
    if (cmd == "in0" && w.size() == 2 && (w[1] == "0" || w[1] == "1" || w[1] == "auto")) {
        d.Poll(ctx.NowUs(), ctx.Sink());
        core.SetIn0Mode(w[1] == "auto" ? -1 : w[1][0] - '0');
        return "ok: in0 " + w[1] + "\n";
    }
    if (cmd == "trigger" && w.size() == 1) {
        d.FireTrigger(ctx.NowUs(), ctx.Sink());
        return "ok: trigger fired\n";
    }
    if (cmd == "live" && w.size() == 1) {
        return Live(ctx);
    }
    if (cmd == "status" && w.size() == 1) {
        return Status(ctx);
    }
    if (cmd == "help" && w.size() == 1) {
        return ControlHelp();
    }
    if (cmd == "quit") {
        return "error: quit works on standard input only\n";
    }
    return "error: unknown command '" + line + "' (try help)\n";
}

} // namespace sim
