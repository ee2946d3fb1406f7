// The record viewer windows of one program: each record file shows in one
// window (opening it again raises that window), VIEW RECORD... chooses the
// file to open, the windows go together at the end of the program, and
// whoever needs to know (the viewer alone ends with its last window) is
// told as each one goes.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace params {
class ParameterModel;
}

namespace record {

class RecordViewer;

class RecordViewers {
public:
    // The windows draw the taught tolerance shapes of `model` and follow
    // its changes.
    explicit RecordViewers(params::ParameterModel& model) : model_(model) {}
    // Closes the windows still open.
    ~RecordViewers();
    RecordViewers(const RecordViewers&) = delete;
    RecordViewers& operator=(const RecordViewers&) = delete;

    // Opens `path` in a viewer window (or raises the window that shows it
    // already). Returns the window, which deletes itself when closed.
    RecordViewer* Open(const std::string& path);
    // VIEW RECORD...: the file dialog starts where `recordFile` lies, with
    // it selected, and takes only existing files; the file chosen opens.
    void ChooseAndOpen(const std::string& recordFile);
    // The viewer windows open now, in the order they were opened.
    const std::vector<RecordViewer*>& Windows() const { return open_; }
    // Closes every viewer window (program end).
    void CloseAll();
    // Called as each viewer window goes, with whether it showed its file
    // (false: refused) and whether it was the last one; empty for none.
    void SetClosedHandler(std::function<void(bool shown, bool last)> handler);

    params::ParameterModel& Model() const { return model_; }

private:
    friend class RecordViewer;
    void Add(RecordViewer* viewer);
    void Closed(RecordViewer* viewer, bool shown);

    params::ParameterModel& model_;
    std::vector<RecordViewer*> open_;
    std::function<void(bool shown, bool last)> closed_;
};

} // namespace record
