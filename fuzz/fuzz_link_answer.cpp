// Any bytes as the sensor's answer, arriving in any split over TCP or the
// serial line: the exchange either delivers an answer whose header and data
// check out and fit the receive buffer, or reports a failure; it never
// reads or writes past a buffer and always ends (the virtual clock runs out
// the answer time-out).
//
// Input: byte 0 picks the transport (bit 0), whether the peer closes at the
// end (bit 1) and the request (the other bits); byte 1 the piece size; the
// rest is the stream from the sensor.
#include "calib/hw_info_content.h"
#include "fuzz/fake_platform.h"
#include "link/com232.h"
#include "link/crc8.h"
#include "link/sensor_id.h"
#include "live/live_math.h"
#include "record/record_file.h"
#include "record/recorder_logic.h"
#include "scope/scope_logic.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

// The link under test, one for the whole run as for a program.
com232::SensorLink& Link() {
    static com232::SensorLink link;
    return link;
}

struct Request {
    uint8_t order;
    uint16_t param;
    uint16_t length;
};
// The requests the program sends, with their request data sizes.
constexpr Request kRequests[] = {
    {1, 0, 34},  {1, 2, 496}, {2, 0, 0},    {2, 2, 0},   {3, 0, 0},        {4, 0, 0},
    {7, 0, 0},   {8, 0, 0},   {30, 1, 0},   {100, 0, 0}, {101, 0, 6},      {102, 0, 0},
    {103, 0, 0}, {105, 0, 0}, {110, 1, 10}, {190, 4, 0}, {194, 0x4E21, 0},
};

// Decodes the answer as the program's consumers of that order do; each must
// stay inside the receive buffer whatever the answer's length.
void Consume(const Request& r) {
    const uint8_t* data = Link().RxData();
    const size_t length = Link().AnswerLength;
    switch (r.order) {
    case 7: {
        const char* id = reinterpret_cast<const char*>(data);
        const com232::SensorIdParts parts = com232::SplitSensorId(std::string(id, strnlen(id, 72)));
        (void)parts.Display();
        break;
    }
    case 8:
    case 30: {
        const live::LiveDataFrameBytes f = record::FrameOfData(data, length);
        (void)live::RawDeltaOf(f);
        (void)live::ColourOfRgb(f.get(live::kRed), f.get(live::kGreen), f.get(live::kBlue));
        (void)live::OutputLedPattern(f.get(live::kColor));
        std::tm when{};
        if (record::RecordLine(f, when).empty()) {
            std::abort();
        }
        break;
    }
    case 105: {
        // Cycle time from T and N: whatever the words, a finite number or 0.
        const double ms = scope::CycleTimeMs(com232::GetI32(data), com232::GetI32(data + 4));
        (void)scope::CycleTimeDecimals(ms);
        (void)scope::ScanFrequencyDecimals(ms);
        (void)scope::DeltaXMs(0, 127, ms, static_cast<uint16_t>(Link().AnswerParam));
        break;
    }
    case 110: {
        // A scope block in time order, with any ring index and pre-trigger.
        const uint16_t mode = static_cast<uint16_t>(Link().AnswerParam % 8);
        const scope::SampleBlock block =
            scope::ReorderBlock(data, mode, static_cast<uint16_t>(data[0] | (data[1] << 8)));
        (void)scope::DigitalTracesOf(block);
        break;
    }
    case 194: {
        const std::string text = hwinfo::HardwareBlockText(
            data, length < hwinfo::kHardwareBlockSize ? length : hwinfo::kHardwareBlockSize);
        uint8_t back[hwinfo::kHardwareBlockSize];
        if (text.size() != hwinfo::kHardwareTextSize ||
            !hwinfo::HardwareBlockFromText(text, back)) {
            std::abort();
        }
        break;
    }
    default:
        break;
    }
}

bool Initialised() {
    static bool done = [] {
        Link().Reset();
        return true;
    }();
    return done;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2 || !Initialised()) {
        return 0;
    }
    const bool tcp = (data[0] & 1) != 0;
    const Request& r = kRequests[(data[0] >> 2) % (sizeof kRequests / sizeof kRequests[0])];
    fake::SetCloseAtEnd((data[0] & 2) != 0);
    fake::SetAnswerStream(data + 2, size - 2, 1 + data[1] % 64);

    Link().ComProtocol = tcp ? com232::kProtocolTcp : com232::kProtocolRs232;
    if (tcp && Link().TcpConnected == 0) {
        Link().InitTCP_IP();
    } else if (!tcp) {
        Link().InitRS232();
    }
    std::memset(Link().TxData(), 0x5A, r.length);
    Link().FillTxBuf(r.order, r.param, r.length);
    const int result = Link().DataExchange(static_cast<int>(com232::kHeaderSize + r.length));
    (void)fake::TakeWritten();

    if (Link().RxCount < 0 || Link().RxCount > static_cast<int>(com232::kRxBufferSize)) {
        std::abort();
    }
    if (result == 1) {
        // What the callers take from an answer must be there and be sound.
        if (Link().AnswerLength > com232::kMaxAnswerData) {
            std::abort();
        }
        if (Link().AnswerLength > 0 &&
            com232::crc8Update(Link().RxBuffer, com232::kHeaderSize, Link().AnswerLength) !=
                Link().AnswerDataCrc) {
            std::abort();
        }
        Consume(r);
    } else if (result != -1) {
        std::abort();
    }
    return 0;
}
