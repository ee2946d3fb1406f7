// One cell of the fault matrix run as a user would: the program against the
// simulated sensor, the operation of the cell with the fault injected into
// the answer it waits for, the checks of what the program shows afterwards,
// then TRY TO CONNECT and the same operation once more without a fault.
#pragma once

#include "app/panels.h"
#include "link/link_texts.h"
#include "scope/scope.h"
#include "tests/app/app_fixture.h"
#include "tests/faults/fault_matrix.h"
#include "tests/faults/matrix_support.h"

#include <string>
#include <vector>

namespace faults {

// Values a successful operation replaces with the sensor's, and the limits
// of the user's patience.
namespace values {

// Values a successful operation replaces with the sensor's.
inline constexpr int kEditedPower = 321; // the sensor holds POWER 500
inline constexpr int kEditedCell = 123;  // row 0 X; the sensor holds 346
inline constexpr int kSensorPower = 500;
inline constexpr int kSensorCell = 346;
inline constexpr int kEditedCf[3] = {1000, 1010, 1020};
inline constexpr int kEditedOffset[3] = {7, 8, 9};
inline constexpr int kSensorOffset[3] = {48, 40, 56};
inline constexpr int kEditedSetValue = 1111;
inline constexpr int kEditedMaxDelta = 222;
inline constexpr int kNewBaudrateIndex = 5; // 230400; the settings select 4 (115200)

// Operations end within their time-outs; this is far beyond any of them.
inline constexpr double kOperationLimitSeconds = 5.0;
// Loops without a time-out of their own are ended by the test's user
// after this (the operation itself must have ended them by then).
inline constexpr double kLoopLimitSeconds = 3.0;
inline constexpr double kHangSeconds = 60.0;
// Answer time-out for the cells whose answer arrives a byte a millisecond:
// the longest (520 bytes) must fit, as it does in the program's 3 s.
inline constexpr double kSingleBytesTimeoutSeconds = 2.0;
inline constexpr unsigned kGoFramesBeforeStop = 8;
inline constexpr int kTriggersRecorded = 3;
// A trigger whose frame has not come within this is followed by another.
inline constexpr double kTriggerRepeatSeconds = 0.6;
inline constexpr int kTimedFrames = 3;
inline constexpr int kWhiteSamples = 100;
inline constexpr int kWideMaxDelta = 4000;
// The white calibration's factors for SETVALUE 1111 over raw 1000, 2000, 3000.
inline constexpr int kWhiteCf[3] = {1137, 568, 379};

inline constexpr const char* kFailureTexts[] = {
    com232::kTextNoAnswer,     com232::kTextBadHeader,          com232::kTextBadData,
    com232::kTextInvalidOrder, com232::kTextCommunicationError, com232::kTextServerClosed,
    com232::kTextLinkBusy};

} // namespace values

class MatrixCell : public AppFixture, public ::testing::WithParamInterface<Cell> {
protected:
    void SetUp() override;
    void TearDown() override;

    // The whole cell.
    void RunCell(const Cell& cell);

private:
    // What the operation may change, taken before it runs.
    struct Snapshot {
        params::ParameterBlockBytes para;
        params::TeachTableBytes teach;
        std::array<scope::SampleBlock, scope::kScopeBlocks> scopeBlocks{};
        unsigned long long captures = 0;
        size_t recordLines = 0;
    };

    void StartOn(Link link);
    // Puts the program into a state that a successful operation changes
    // visibly (edited panels, fields set apart from the sensor's values, a
    // capture of another scene) and takes the snapshot.
    void Prepare(Op op);
    // Runs the operation through its button, acting as the user where the
    // operation waits for one (STOP, triggers, BREAK SCAN).
    void Run(Op op);
    void PressGo();
    void PressStartTrigRec();
    void PressScan();
    void PressCalcCf();
    void PressStartRecord();

    void ExpectFailureReported(const Cell& cell, const Expectation& e, const std::string& added);
    void ExpectNoFailure(const std::string& added);
    // The operation's own state after a failure: what must be unchanged.
    void ExpectUnchanged(const Cell& cell, const std::string& added);
    // The operation's own state after success.
    void ExpectDone(Op op, const std::string& added);
    std::vector<std::string> ExpectedRequests(const Cell& cell, bool fails) const;
    void ExpectRequests(const Cell& cell, bool fails);
    // TRY TO CONNECT with the fault gone: the link must come back.
    void Reconnect();

    std::string Messages() const;
    size_t RecordLines() const;
    int LineSpeed() const; // the serial line's speed (termios) as the sensor sees it

    // The program's recorder and scope states, and its capture on the link.
    static const record::RecorderState& Recording() { return app::P().recorderView->State(); }
    static const scope::ScopeState& Scope() { return app::P().scopeView->State(); }
    static const scope::ScanState& Capture() { return app::P().scopeView->Scan(); }

    Link link_ = Link::Tcp;
    std::unique_ptr<MatrixUser> matrixUser_;
    Snapshot before_;
    bool recordFileChosen_ = false;
    unsigned long long goFrames_ = 0;
    unsigned long long goFailures_ = 0;
    bool rescued_ = false; // the test's user had to end a wait that did not end
};

} // namespace faults
