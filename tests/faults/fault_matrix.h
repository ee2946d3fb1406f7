// The fault matrix as data: every order the program sends, each as the
// operation a user runs to send it, crossed with every fault the simulated
// sensor can put into an answer, over TCP and, for a subset, over a
// pseudo-terminal; and what each cell must show.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace faults {

enum class Link { Tcp, Pty };

// The faults, each as the simulator injects it into one answer.
enum class Fault {
    NoAnswer,      // drop
    Late,          // the whole answer after the time-out
    Cut,           // the first half of the answer, then silence
    BadHeaderCrc,  // corrupt-header
    BadDataCrc,    // corrupt-data (no effect on an answer without data)
    ErrorAnswer,   // error 1 on TCP, error 2 on the serial line
    Oversize,      // a good header announcing more than the buffer holds
    SingleBytes,   // the answer split into single bytes, 1 ms apart
    Closed,        // the connection closed instead of the answer
    GarbageBefore, // random bytes in front of the correct answer
};
inline constexpr Fault kAllFaults[] = {Fault::NoAnswer,     Fault::Late,        Fault::Cut,
                                       Fault::BadHeaderCrc, Fault::BadDataCrc,  Fault::ErrorAnswer,
                                       Fault::Oversize,     Fault::SingleBytes, Fault::Closed,
                                       Fault::GarbageBefore};

// The operations, each named by what the user presses.
enum class Op {
    SendRam,         // SEND, target RAM: order 1 (the parameter block)
    SendTable,       // the same, the fault on the teach table's order 1
    GetRam,          // GET, source RAM: order 2 (the parameter block)
    GetTable,        // the same, the fault on the teach table's order 2
    SendEeprom,      // SEND, target EEPROM: order 3 after both writes
    GetEeprom,       // GET, source EEPROM: order 4 before both reads
    TryToConnect,    // TRY TO CONNECT: order 7
    Go,              // GO: order 8, the fault on the fourth frame
    TrigRec,         // START TRIG REC: order 30
    CalcOffset,      // CALC OFFSET: order 100
    SendCf,          // SEND CF: order 101
    GetCf,           // GET CF: order 102
    SelfCalibration, // SELF CALIBRATION: order 103
    CycleTime,       // GET CYCLE TIME: order 105
    Scan,            // SCAN: order 110, the fault on its acknowledgment
    ChangeBaudrate,  // CHANGE BAUDRATE (serial only): order 190
    HwInfo,          // the hardware-information button: order 194
    // Orders whose answers come in a series, the fault on one in the middle:
    ScanBlocks,       // SCAN: the first of the four blocks behind the acknowledgment
    TrigRecFrames,    // START TRIG REC: the first live frame the sensor sends unasked
    WhiteCalibration, // CALC CF: the eleventh of its hundred order-8 samples
    TimedRecord,      // START RECORD (3 frames, 0.25 s apart): the second frame
};

struct OpInfo {
    Op op;
    const char* name;    // part of the test name
    uint8_t order;       // the order whose answer the fault hits
    uint32_t skip;       // answers of that order that pass first
    uint16_t answerData; // data bytes of that answer
    bool serialOnly;     // the operation exists on the serial link only
    bool endsOffline;    // a failure ends in the CLOSE/OFFLINE question
};
const std::vector<OpInfo>& Operations();
const OpInfo& InfoOf(Op op);

struct Cell {
    Op op;
    Fault fault;
    Link link;
};
std::string CellName(const Cell& cell);
inline std::ostream& operator<<(std::ostream& out, const Cell& cell) {
    return out << CellName(cell);
}

// Every operation against every fault over TCP (the serial-only one left out).
std::vector<Cell> TcpCells();
// The serial subset: the transfer, the connection test, GO, the scope
// capture and its blocks, triggered recording, the baud-rate change and the
// hardware block against every fault.
std::vector<Cell> PtyCells();

// The simulator's fault command for the cell ("fault ..."), and how long its
// answer may be held back (ms) when the fault delays it.
std::string FaultCommand(const Cell& cell, double answerTimeoutSeconds);
double LateAnswerMs(double answerTimeoutSeconds);

struct Expectation {
    bool fails = false;             // the operation reports a link failure
    std::vector<std::string> texts; // appended to the message box, in this order
};
Expectation Expect(const Cell& cell);

} // namespace faults
