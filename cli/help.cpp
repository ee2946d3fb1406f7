// The tool's help and each command's (chromik3-cli help COMMAND, COMMAND
// --help). The tool's text has the form help2man reads for the manual page.
#include "cli/options.h"

namespace cli {
namespace {

constexpr const char* kAddressHelp =
    "ADDRESS, as on the connection page:\n"
    "  --tcp=HOST[:PORT]    TCP/IP (port 10001 when left out)\n"
    "  --com=N              RS-232 on COM N (1..100 ttyS, 101.. ttyUSB, 201.. ttyACM,\n"
    "                       1000.. pseudo-terminals)\n"
    "  --device=PATH        RS-232 on any serial device, links followed\n"
    "                       (/dev/serial/by-id/..., /dev/ttyAMA0, /dev/rfcomm0)\n"
    "  --baud=RATE          the RS-232 rate (9600 .. 921600; 115200 by default)\n"
    "  --settings=FILE      the connection of a PanelSettings.cfg\n"
    "  --targets=FILE       every sensor of FILE at once, one a line\n"
    "                       (192.168.0.21:10001, com:3, /dev/ttyUSB0; # comments)\n"
    "  --jobs=N             with --targets: at most N sensors at a time (64), the\n"
    "                       others wait their turn; a command that runs until it\n"
    "                       is stopped (live without -n, record --endless or\n"
    "                       --triggered, scope) runs every sensor at once\n";

constexpr const char* kCommonHelp =
    "  --json               results as JSON lines (README: \"JSON lines\")\n"
    "  --timeout=SECONDS    give up (status 2) when the command has not ended by then\n"
    "  -h, --help           this help; chromik3-cli help COMMAND for a command's\n";

std::string CommandHelp(const std::string& usage, const std::string& text) {
    return "Usage: chromik3-cli " + usage + "\n" + text + "\n" + kAddressHelp + kCommonHelp;
}

} // namespace

std::string HelpText(const std::string& command) {
    if (command == "ident") {
        return CommandHelp("ident ADDRESS",
                           "Runs the connection test and prints the sensor's identification "
                           "text and\nserial number.\n");
    }
    if (command == "get") {
        return CommandHelp(
            "get ADDRESS [--eeprom [--keep-ram]] [--set=0|1] [--as-program] [-o FILE]",
            "Writes the parameter set and teach table the sensor holds as a parameter file\n"
            "(to standard output without -o or with -o -), exactly as the sensor holds\n"
            "them: sending the file back restores the sensor. Values the program's mode\n"
            "rules would correct are listed on standard error.\n"
            "  --as-program         the set as the program holds it after GET, corrected\n"
            "                       by its mode rules (the file SEND to FILE writes)\n"
            "  --eeprom             the set stored in the EEPROM. The sensor reads it only\n"
            "                       by loading it into RAM: its working set BECOMES THE\n"
            "                       EEPROM SET, and unsaved RAM settings are gone (said on\n"
            "                       standard error when they differed).\n"
            "  --keep-ram           with --eeprom: send the RAM sets read before back after,\n"
            "                       verified; costs a send and a read of each set that\n"
            "                       differed (about 0.1 s at 115200 Bd; get --eeprom\n"
            "                       itself about 0.25 s, get 0.1 s)\n"
            "  -o, --output=FILE    may hold {serial} and {address}\n");
    }
    if (command == "send") {
        return CommandHelp("send FILE ADDRESS [--eeprom] [--set=0|1] [--verify] "
                           "[--allow-defaults]",
                           "Sends a parameter file (- reads it from standard input) to the "
                           "sensor's RAM,\nand on to its EEPROM with --eeprom. A file with keys "
                           "missing, given twice or\nout of range sends nothing; "
                           "--allow-defaults sends one with keys missing or\nout of range with "
                           "the defaults the program would use.\n"
                           "  --verify             read the set back (from the EEPROM too with "
                           "--eeprom)\n                       and compare every word\n");
    }
    if (command == "diff") {
        return CommandHelp(
            "diff REFERENCE ADDRESS [--eeprom [--keep-ram]] [--set=0|1] [--csv]\n"
            "  or:  chromik3-cli diff REFERENCE OTHER.ini [--csv]",
            "Compares the set of each sensor (or the file OTHER.ini) with the parameter\n"
            "file REFERENCE (- reads it from standard input) and prints a table: one row\n"
            "per sensor, one column per key that differs anywhere (= where it agrees).\n"
            "Status 0 when all agree, 3 when any differs.\n"
            "  --csv                the table as comma-separated values, every value "
            "given\n"
            "  --eeprom, --keep-ram as for get\n");
    }
    if (command == "live") {
        return CommandHelp(
            "live ADDRESS [-n N] [--interval=S] [--header] [--lf] [--iso-time]",
            "Reads live frames (N of them, or until Ctrl-C) every S seconds (at least\n"
            "0.25) and prints each as a line of the record file.\n"
            "  --header             the record file's header first\n"
            "  --lf                 lines end in LF instead of CR LF\n"
            "  --iso-time           one time column 2026-12-08T17:57:36.250 instead of\n"
            "                       the date and time columns\n"
            "  --json               one JSON object per frame, every field named\n");
    }
    if (command == "record") {
        return CommandHelp(
            "record ADDRESS -o FILE --count=N --interval=S\n"
            "  or:  chromik3-cli record ADDRESS -o FILE --endless --interval=S\n"
            "  or:  chromik3-cli record ADDRESS -o FILE --triggered [--count=N]",
            "Records into a record file as the recorder page does: N frames or without\n"
            "end, S seconds apart (at least 0.25), or a frame on every trigger of the\n"
            "sensor. Ctrl-C, SIGTERM or SIGHUP end a recording cleanly: automatic\n"
            "sending is stopped, the file complete, a summary on standard error.\n"
            "  -o, --output=FILE    may hold {serial} and {address}; - is standard output\n"
            "  --panel-id=TEXT      the PANEL ID line of the header\n"
            "  --progress=S         the frames so far on standard error every S seconds\n"
            "                       (every 10 s with --targets)\n");
    }
    if (command == "hwinfo") {
        return CommandHelp("hwinfo ADDRESS -o FILE",
                           "Writes the hardware information file for the supplier.\n");
    }
    if (command == "cycle-time") {
        return CommandHelp("cycle-time ADDRESS",
                           "Prints the sensor's cycle time and scan frequency.\n");
    }
    if (command == "scope") {
        return CommandHelp(
            "scope ADDRESS --trigger-mode=M [--level=L] [--pretrigger=P] [--scan-rate=R]\n"
            "                          [--signal=0|1] -o FILE",
            "One scope capture in time order as a tab-separated file: sample, time in ms\n"
            "from the trigger (cycle time x scan rate per sample), the three analogue\n"
            "lines, the digital word and TRIGGER (1 on the trigger sample). M: single,\n"
            "rising, falling, color0, in0 (or 0..4). --signal 1 records X Y INT (s i M)\n"
            "instead of RED GREEN BLUE. Ctrl-C breaks off a capture that waits for its\n"
            "trigger.\n");
    }
    if (command == "find") {
        return std::string(
                   "Usage: chromik3-cli find [--com=N]... [--device=PATH]... [--baud=RATE]...\n"
                   "                         [--tcp=RANGE]... [--force] [--no-serial]\n"
                   "                         [--write-targets=FILE]\n"
                   "Finds the sensors that answer: every serial port the system lists (or those\n"
                   "of --com and --device; pseudo-terminals only when named) at every baud rate\n"
                   "of the sensor, fastest first (or those of --baud), and the TCP/IP addresses\n"
                   "of --tcp; nothing on the network is probed unless asked. Each port is sent\n"
                   "the identification order only, and waits for the answer twice as long as\n"
                   "request and answer take on the line at that rate plus 0.15 s (TCP/IP: 0.3 s,\n"
                   "1 s to connect) instead of the 3 s of the other commands. Ports and\n"
                   "addresses are probed side by side, the rates of a port one after another.\n"
                   "One line per sensor: address, baud rate, identification, serial number,\n"
                   "firmware check; a port that answers something else is \"not a sensor\", one\n"
                   "that cannot be opened is \"not probed\" with the reason (permission and the\n"
                   "group to join, busy). Status 0 when a sensor answered, 2 when none did.\n"
                   "  --com=N, --device=PATH  a serial port to search; repeatable\n"
                   "  --baud=RATE          a rate to try (9600 .. 921600); repeatable\n"
                   "  --tcp=RANGE          HOST[:PORT], 192.168.0.20-40, 10.0.5.0/24:10001,\n"
                   "                       192.168.0.250-192.168.1.10; port 10001 when left\n"
                   "                       out; repeatable, or several separated by commas\n"
                   "  --force              search more than 256 addresses (at most 65536)\n"
                   "  --no-serial          search the --tcp addresses only\n"
                   "  --jobs=N             ports and addresses probed at once (32)\n"
                   "  --write-targets=FILE the sensors found as a targets file for --targets\n"
                   "                       (com:3@9600, 192.168.0.21:10001)\n") +
               kCommonHelp;
    }
    return std::string("Usage: chromik3-cli COMMAND ADDRESS [OPTION]...\n"
                       "  or:  chromik3-cli help [COMMAND]\n"
                       "Talks to a CHROMIK3 colour sensor (or a whole line of them) from "
                       "scripts, with the\nprogram's link, parameter transfer and files.\n"
                       "\n"
                       "Commands:\n"
                       "  ident       identification text and serial number\n"
                       "  get         the parameter set as a parameter file\n"
                       "  send        a parameter file to the sensor, optionally verified\n"
                       "  diff        the sensors' sets against a parameter file, as a table\n"
                       "  live        live frames as record-file lines or JSON\n"
                       "  record      a record file, timed or triggered\n"
                       "  hwinfo      the hardware information file\n"
                       "  cycle-time  the cycle time and scan frequency\n"
                       "  scope       one scope capture as a table\n"
                       "  find        the sensors on the serial ports and a TCP/IP range\n"
                       "\n") +
           kAddressHelp +
           "\n"
           "Options:\n"
           "  -o, --output=FILE    output file; may hold {serial} and {address}; - is\n"
           "                       standard output\n" +
           kCommonHelp +
           "  --version            the version\n"
           "Options take their value as --opt=VALUE or --opt VALUE, -n5 or -n 5.\n"
           "\n"
           "Exit status:\n"
           "  0  done (diff: all agree)\n"
           "  1  usage: an unknown or misplaced option or command\n"
           "  2  link failure, or not ended within --timeout\n"
           "  3  refused (other firmware), verification failed, values the sensor\n"
           "     replaced, diff found differences\n"
           "  4  file error, also a failed write to standard output\n";
}

} // namespace cli
