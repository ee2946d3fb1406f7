#include "tests/faults/fault_matrix.h"

#include "link/frame.h"
#include "link/link_texts.h"

#include <stdexcept>

namespace faults {
namespace {

using namespace com232;

// Each operation with the answer the fault hits: its order, the answers of
// that order that pass first, and its data bytes (the parameter block 34,
// the teach table 496, the identification 72, the live frame 40 ...).
const std::vector<OpInfo> kOperations = {
    {Op::SendRam, "SendRam", kOrderWritePara, 0, 0, false, false},
    {Op::SendTable, "SendTable", kOrderWritePara, 1, 0, false, false},
    {Op::GetRam, "GetRam", kOrderReadPara, 0, 34, false, false},
    {Op::GetTable, "GetTable", kOrderReadPara, 1, 496, false, false},
    {Op::SendEeprom, "SendEeprom", kOrderStoreEeprom, 0, 0, false, false},
    {Op::GetEeprom, "GetEeprom", kOrderLoadEeprom, 0, 0, false, false},
    {Op::TryToConnect, "TryToConnect", kOrderIdentify, 0, 72, false, true},
    {Op::Go, "Go", kOrderLiveData, 3, 40, false, false},
    {Op::TrigRec, "StartTrigRec", kOrderAutoSend, 0, 0, false, false},
    {Op::CalcOffset, "CalcOffset", kOrderCalcOffset, 0, 0, false, false},
    {Op::SendCf, "SendCf", kOrderWriteCalib, 0, 0, false, false},
    {Op::GetCf, "GetCf", kOrderReadCalib, 0, 12, false, false},
    {Op::SelfCalibration, "SelfCalibration", kOrderSelfCalib, 0, 10, false, false},
    {Op::CycleTime, "GetCycleTime", kOrderCycleTime, 0, 8, false, false},
    {Op::Scan, "Scan", kOrderScope, 0, 0, false, false},
    {Op::ChangeBaudrate, "ChangeBaudrate", kOrderBaudrate, 0, 0, true, false},
    {Op::HwInfo, "HwInfo", kOrderHardwareInfo, 0, 512, false, false},
    {Op::ScanBlocks, "ScanBlocks", kOrderScope, 1, 258, false, false},
    {Op::TrigRecFrames, "TrigRecFrames", kOrderLiveData, 0, 40, false, false},
    {Op::WhiteCalibration, "CalcCf", kOrderLiveData, 10, 40, false, false},
    {Op::TimedRecord, "StartRecord", kOrderLiveData, 1, 40, false, false},
};

const char* FaultName(Fault f) {
    switch (f) {
    case Fault::NoAnswer:
        return "NoAnswer";
    case Fault::Late:
        return "Late";
    case Fault::Cut:
        return "Cut";
    case Fault::BadHeaderCrc:
        return "BadHeaderCrc";
    case Fault::BadDataCrc:
        return "BadDataCrc";
    case Fault::ErrorAnswer:
        return "ErrorAnswer";
    case Fault::Oversize:
        return "Oversize";
    case Fault::SingleBytes:
        return "SingleBytes";
    case Fault::Closed:
        return "Closed";
    case Fault::GarbageBefore:
        return "GarbageBefore";
    }
    return "?";
}

// An announced length that cannot fit behind the header in the answer buffer.
constexpr unsigned kOversizeLength = 3000;
constexpr unsigned kGarbageBytes = 5;

} // namespace

const std::vector<OpInfo>& Operations() {
    return kOperations;
}

const OpInfo& InfoOf(Op op) {
    for (const OpInfo& i : kOperations) {
        if (i.op == op) {
            return i;
        }
    }
    throw std::logic_error("operation missing from the table");
}

std::string CellName(const Cell& c) {
    return std::string(InfoOf(c.op).name) + "_" + FaultName(c.fault);
}

std::vector<Cell> TcpCells() {
    std::vector<Cell> cells;
    for (const OpInfo& i : kOperations) {
        if (i.serialOnly) {
            continue;
        }
        for (Fault f : kAllFaults) {
            cells.push_back({i.op, f, Link::Tcp});
        }
    }
    return cells;
}

std::vector<Cell> PtyCells() {
    std::vector<Cell> cells;
    for (Op op : {Op::SendRam, Op::GetTable, Op::TryToConnect, Op::Go, Op::Scan, Op::ScanBlocks,
                  Op::TrigRecFrames, Op::ChangeBaudrate, Op::HwInfo}) {
        for (Fault f : kAllFaults) {
            cells.push_back({op, f, Link::Pty});
        }
    }
    return cells;
}

double LateAnswerMs(double answerTimeoutSeconds) {
    // Well after the wait has given up, on the serial line also after the
    // port's own read time-out that follows it.
    return answerTimeoutSeconds * 1000 + 400;
}

std::string FaultCommand(const Cell& c, double answerTimeoutSeconds) {
    const OpInfo& info = InfoOf(c.op);
    std::string kind;
    switch (c.fault) {
    case Fault::NoAnswer:
        kind = "drop";
        break;
    case Fault::Late:
        kind =
            "delay-header " + std::to_string(static_cast<int>(LateAnswerMs(answerTimeoutSeconds)));
        break;
    case Fault::Cut:
        // Half the answer: in the header of an answer without data, in the
        // data of the others.
        kind = "cut " + std::to_string((kHeaderSize + info.answerData) / 2);
        break;
    case Fault::BadHeaderCrc:
        kind = "corrupt-header";
        break;
    case Fault::BadDataCrc:
        kind = "corrupt-data";
        break;
    case Fault::ErrorAnswer:
        kind = c.link == Link::Tcp ? "error 1" : "error 2";
        break;
    case Fault::Oversize:
        kind = "oversize " + std::to_string(kOversizeLength);
        break;
    case Fault::SingleBytes:
        kind = "split 1 1";
        break;
    case Fault::Closed:
        kind = "close";
        break;
    case Fault::GarbageBefore:
        kind = "garbage-before " + std::to_string(kGarbageBytes);
        break;
    }
    return "fault " + kind + " order=" + std::to_string(info.order) +
           " skip=" + std::to_string(info.skip);
}

Expectation Expect(const Cell& c) {
    const OpInfo& info = InfoOf(c.op);
    Expectation e;
    e.fails = true;
    switch (c.fault) {
    case Fault::NoAnswer:
    case Fault::Late:
    case Fault::Cut:
        e.texts = {kTextNoAnswer};
        break;
    case Fault::BadHeaderCrc:
    case Fault::Oversize:
    case Fault::GarbageBefore:
        e.texts = {kTextBadHeader};
        break;
    case Fault::BadDataCrc:
        if (info.answerData == 0) {
            e.fails = false; // nothing to corrupt
        } else {
            e.texts = {kTextBadData};
        }
        break;
    case Fault::ErrorAnswer:
        e.texts = {c.link == Link::Tcp ? kTextInvalidOrder : kTextCommunicationError};
        break;
    case Fault::SingleBytes:
        e.fails = false;
        break;
    case Fault::Closed:
        // On TCP the end of the connection is reported at once, and the
        // exchange waiting meanwhile ends by its time-out; on the serial
        // line the simulator just does not answer.
        if (c.link == Link::Tcp) {
            e.texts = {kTextServerClosed, kTextNoAnswer};
        } else {
            e.texts = {kTextNoAnswer};
        }
        break;
    }
    // The capture triggers at once (SINGLE SHOT): its blocks follow the
    // acknowledgment within milliseconds, so where the acknowledgment is lost
    // or broken off, a block arrives in its place.
    const bool ackLost = c.fault == Fault::NoAnswer || c.fault == Fault::Cut ||
                         (c.fault == Fault::Closed && c.link == Link::Pty);
    if (c.op == Op::Scan && ackLost) {
        e.texts = {kTextBadHeader};
    }
    const bool tcp = c.link == Link::Tcp;
    if (c.op == Op::ScanBlocks) {
        // The wait for the trigger has no time-out: a block held back comes
        // when it comes. Once the blocks have begun to arrive, the rest must
        // follow within the answer time-out.
        switch (c.fault) {
        case Fault::Late:
            e = {false, {}};
            break;
        case Fault::Cut:
            // The blocks are read frame by frame: the next block completes
            // the cut one's data.
            e.texts = {kTextBadData};
            break;
        case Fault::ErrorAnswer:
            // A frame that is no block.
            e.texts = {kTextBadHeader};
            break;
        case Fault::Closed:
            if (tcp) {
                e.texts = {kTextServerClosed}; // no exchange waits meanwhile
            }
            break;
        default:
            break;
        }
    }
    if (c.op == Op::TrigRecFrames) {
        // Between frames the recording waits for the next trigger, without a
        // time-out: a frame that does not come is just not recorded, and
        // frames other than live frames are passed over.
        switch (c.fault) {
        case Fault::NoAnswer:
        case Fault::Late:
        case Fault::ErrorAnswer:
            e = {false, {}};
            break;
        case Fault::Closed:
            e = tcp ? Expectation{true, {kTextServerClosed}} : Expectation{false, {}};
            break;
        default:
            break;
        }
    }
    if (e.fails && info.endsOffline) {
        e.texts.push_back("NO SENSOR CONNECTED!");
    }
    return e;
}

} // namespace faults
