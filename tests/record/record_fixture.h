// The program against the simulated sensor with a record file chosen in the
// test's directory, and helpers to run a recording while acting on it.
#pragma once

#include "record/record_file.h"
#include "record/record_texts.h"
#include "record/recorder.h"
#include "record/recorder_logic.h"
#include "tests/app/app_fixture.h"

#include <functional>
#include <string>
#include <vector>

class RecordTest : public AppFixture {
protected:
    // The program's recorder view, and the recorder state it shows.
    static record::RecorderView& Recorder() { return *app::P().recorderView; }
    static const record::RecorderState& Recording() { return Recorder().State(); }
    // Starts the sensor (fixed colour, no noise) and the program on TCP or
    // on the pseudo-terminal, and chooses dir_/RecordFile.dat.
    void StartRecorder(bool serial = false);
    // Chooses `path` as a new record file through the file dialog.
    void ChooseNewFile(const std::string& path);
    // Sets the record mode as the user does.
    void SelectMode(int mode);
    // Clicks `button`; `during` runs every millisecond while a recording
    // runs and returns true once it wants the recording stopped (STOP
    // RECORD is then clicked). Gives up after `limitSeconds`.
    void RunRecording(QWidget* button, std::function<bool()> during, double limitSeconds = 10);
    // The lines of the file after the header, each with its CR LF.
    std::vector<std::string> DataLines(const std::string& path) const;
    std::string ReadFile(const std::string& path) const;
    // The record line the current LiveDataFrame gives, without date and time.
    static std::string FieldsOf(const std::string& line);
    static std::string FieldsOfCurrentFrame();
    size_t CountOf(const std::vector<std::string>& lines, const std::string& line) const;

    std::string path_;
};
