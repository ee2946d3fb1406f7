// The matrix's helpers beside the program: the user who answers every
// question, and a watch that names a cell that never ends.
#pragma once

#include "platform/popups.h"

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

} // namespace faults
