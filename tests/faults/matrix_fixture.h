// One cell of the fault matrix run as a user would: the program against the
// simulated sensor, the operation of the cell with the fault injected into
// the answer it waits for, the checks of what the program shows afterwards,
// then TRY TO CONNECT and the same operation once more without a fault.
#pragma once

#include "params/parameter_set.h"
#include "platform/popups.h"
#include "scope/scope.h"
#include "tests/app/app_fixture.h"
#include "tests/faults/fault_matrix.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace faults {

// The user of the matrix: never ends the program (OFFLINE in the
// connection question), says yes to every confirmation and chooses
// <directory>/<default name> in every file dialog.
class MatrixUser {
public:
    explicit MatrixUser(std::string directory);
    ~MatrixUser();
    MatrixUser(const MatrixUser&) = delete;
    MatrixUser& operator=(const MatrixUser&) = delete;

    const std::vector<platform::PopupRecord>& Records() const { return records_; }
    void Clear() { records_.clear(); }
    size_t Count(platform::PopupKind kind) const;
    bool Saw(const std::string& title, const std::string& text) const;

private:
    std::string directory_;
    std::vector<platform::PopupRecord> records_;
};

// Ends the test process with the cell's name when a cell runs far beyond
// every time-out: a wait that never ends would otherwise hang the run
// without saying where.
class HangWatch {
public:
    HangWatch(std::string cell, double seconds);
    ~HangWatch();
    HangWatch(const HangWatch&) = delete;
    HangWatch& operator=(const HangWatch&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

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

    Link link_ = Link::Tcp;
    std::unique_ptr<MatrixUser> matrixUser_;
    Snapshot before_;
    bool recordFileChosen_ = false;
    unsigned long long goFrames_ = 0;
    unsigned long long goFailures_ = 0;
    bool rescued_ = false; // the test's user had to end a wait that did not end
};

} // namespace faults
