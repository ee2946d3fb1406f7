// Moving a parameter set between the PC and the sensor's RAM or EEPROM
// (orders 1 to 4) with the plausibility reports, free of any panel: SEND and
// GET of the main panel and the command-line tool both run these, and the
// acquisition loop runs the SEND and GET waiting for it.
#pragma once

#include "params/parameter_layout.h"

namespace com232 {
class SensorLink;
}

#include <cstdint>
#include <string>

namespace params {

class ParameterModel;
class TransferState;

inline constexpr const char* kTextRamPlausibility =
    "PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT VALUE!";
inline constexpr const char* kTextEepromPlausibility =
    "PARAMETER FROM EEPROM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT VALUE!\n\n";

// The exchanges of a transfer, in the order they are made.
enum class TransferStep { None, EepromLoad, Block, Table, EepromStore };

// Name of a step as a message names it ("the teach table").
const char* TransferStepName(TransferStep step);

struct TransferResult {
    bool ok = false;                            // every exchange was answered
    TransferStep failedAt = TransferStep::None; // the exchange that failed
    // Plausibility codes of the answers (0: the values were taken as sent).
    uint16_t blockPlausibility = 0;
    uint16_t tablePlausibility = 0;
    uint16_t eepromPlausibility = 0;
    // The plausibility reports as the user reads them, in order.
    std::string reports;
    // Why the failed exchange failed (the link's report).
    std::string message;
};

// Why a transfer stopped, for a user who sent a set: the link's message and
// what may not have arrived (`toEeprom`: the set was to be stored too).
std::string TransferFailureText(const TransferResult& r, bool toEeprom);

// Writes set `set` (0, 1) into the sensor's RAM over `link`: the
// ParameterBlock, then the TeachTable, then with `toEeprom` order 3. A
// non-zero plausibility code is reported through the link's failure report
// (StatusText, SetTimeout) and the sequence goes on; a failed exchange ends
// it.
TransferResult WriteParaSet(com232::SensorLink& link, uint16_t set, bool toEeprom,
                            const ParameterBlockBytes& block, const TeachTableBytes& table);

// Reads set `set` over `link` (from the EEPROM first with `fromEeprom`:
// order 4, whose plausibility report goes out as the link's message). The
// blocks are replaced only when both reads succeeded; a shorter answer
// leaves zeros.
TransferResult ReadParaSet(com232::SensorLink& link, uint16_t set, bool fromEeprom,
                           ParameterBlockBytes* block, TeachTableBytes* table);

// SEND: the model's set to the selected set (`transfer`), into RAM and on to
// the EEPROM when that is the target; a waiting SEND is served by it.
// Failures go out through the link's reports.
TransferResult SendPara(com232::SensorLink& link, const ParameterModel& model,
                        TransferState& transfer);
// GET: the selected set (from the EEPROM when that is the source, else from
// RAM) into the model, which `transfer` then announces as read (setRead); a
// waiting GET is served by it. A failed read leaves the model as it was.
TransferResult GetPara(com232::SensorLink& link, ParameterModel& model, TransferState& transfer);

} // namespace params
