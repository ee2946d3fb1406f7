// The gateway's --help and --version, in the form help2man reads for the
// manual page.
#include "gateway/config.h"

#include "platform/shell_services.h"

namespace gateway {

std::string HelpText() {
    return "Usage: chromik3-gateway [OPTIONS] --broker HOST[:PORT] --targets FILE\n"
           "  or:  chromik3-gateway --config FILE [OPTIONS]\n"
           "Publishes a line's CHROMIK3 colour sensors on an MQTT broker: per sensor,\n"
           "under PREFIX/SENSOR/, its state (retained; the broker's last will\n"
           "\"gateway-lost\"), its live frames, its matched colour (retained), its\n"
           "parameter sets (retained) and its counters every 10 seconds. SENSOR is the\n"
           "sensor's name, or its serial number once it has answered.\n"
           "\n"
           "Options (each also a key of the configuration file):\n"
           "  --config=FILE          an INI file with [broker], [gateway] and [sensor]\n"
           "                         sections; options given too override it\n"
           "  --broker=HOST[:PORT]   the MQTT broker (127.0.0.1:1883 by default)\n"
           "  --client-id=ID         the gateway's MQTT client id (chromik3-HOSTNAME)\n"
           "  --username=NAME        the broker account\n"
           "  --password-file=FILE   its password: the file's first line (a password is\n"
           "                         never given on the command line)\n"
           "  --ca-file=FILE         TLS: the certificate authority of the broker\n"
           "  --cert-file=FILE       TLS: the gateway's client certificate\n"
           "  --key-file=FILE        TLS: its key\n"
           "  --keepalive=SECONDS    MQTT keep-alive (30)\n"
           "  --prefix=TOPIC         the topic prefix (chromik3), e.g. chromik3/site/line3\n"
           "  --targets=FILE         the line's sensors, one a line as chromik3-cli reads\n"
           "                         them (192.168.0.21:10001, com:3, /dev/ttyUSB0)\n"
           "  --rate=N               at most N frames a second per sensor on the frame\n"
           "                         topic, the newest winning (0: every frame)\n"
           "  --table-attributes=FILE  the row texts of the colour topic\n"
           "  --allow-commands       take the commands cmd/get and cmd/send (off)\n"
           "  --answer-timeout=SECONDS  a sensor's answer time-out (2); a sensor that\n"
           "                         stops answering is offline within twice that\n"
           "  --queue=N              frames kept per sensor while the broker is away\n"
           "                         (10000; the oldest go first)\n"
           "  --stats-interval=SECONDS  the stats topic's interval (10)\n"
           "  --reconnect-max=SECONDS  the longest wait between two attempts to reach\n"
           "                         a sensor or the broker (30)\n"
           "  --check                check the configuration and exit\n"
           "  -h, --help             this help\n"
           "  --version              the version\n"
           "\n"
           "SIGTERM and Ctrl-C publish every sensor's state \"offline\", stop the\n"
           "sensors' automatic sending and end the gateway with status 0.\n"
           "\n"
           "Exit status:\n"
           "  0   stopped by SIGTERM or Ctrl-C, or --check found nothing wrong\n"
           "  1   a bad option or configuration (each fault with its file and line)\n"
           "  2   the broker refused the gateway's account\n";
}

std::string VersionText() {
    return std::string("chromik3-gateway 4.3.0 (") + shell::kProgramTitle + ")\n";
}

} // namespace gateway
