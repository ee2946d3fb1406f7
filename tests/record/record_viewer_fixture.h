// The record viewer's tests: record files written in a directory of the
// test's own, and viewers opened on them with the scripted user.
#pragma once

#include "app/panels.h"
#include "app/shell.h"
#include "params/parameter_model.h"
#include "platform/popups.h"
#include "platform/runtime.h"
#include "record/record_file.h"
#include "record/record_viewer.h"
#include "record/record_viewers.h"
#include "sensor/sensor.h"

#include "tests/support/file_bytes.h"

#include <QStandardPaths>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace viewertest {

namespace fs = std::filesystem;

inline constexpr const char* kTitle = "CHROMIK3 Scope V4.3";

inline std::tm At(int second) {
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = 11;
    t.tm_mday = 8;
    t.tm_hour = 10 + second / 3600;
    t.tm_min = (second / 60) % 60;
    t.tm_sec = second % 60;
    return t;
}

// A data line; X and Y as given (by default 300 + red % 100 and 400).
inline std::string Line(int red, int color, int second, int x = -1, int y = 400) {
    live::LiveDataFrameBytes f;
    f.set(live::kRed, static_cast<int16_t>(red));
    f.set(live::kX, static_cast<int16_t>(x < 0 ? 300 + red % 100 : x));
    f.set(live::kY, static_cast<int16_t>(y));
    f.set(live::kColor, static_cast<int16_t>(color));
    f.set(live::kGroup, static_cast<int16_t>(color == 255 ? 255 : 1));
    return record::RecordLine(f, At(second));
}

class Viewer : public ::testing::Test {
protected:
    void SetUp() override {
        QStandardPaths::setTestModeEnabled(true); // the list of recent files
        dir_ = fs::temp_directory_path() / ("c3-viewer-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        viewers_.CloseAll();
        if (app::PanelsLoaded()) { // the program's, where a test opened them
            app::Viewers().CloseAll();
            app::DiscardPanels();
        }
        fs::remove_all(dir_);
    }
    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = (dir_ / name).string();
        testfiles::WriteBytes(path, text);
        return path;
    }
    // A record file of `lines` frames, four a second, each tenth without a match.
    std::string WriteRun(const std::string& name, int lines) {
        std::string text = record::RecordFileHeader(kTitle, "LINE 1");
        for (int i = 0; i < lines; ++i) {
            text += Line(1000 + i, i % 10 == 9 ? 255 : i % 5, i / 4);
        }
        return Write(name, text);
    }
    static record::RecordViewer* Loaded(record::RecordViewer* v) {
        for (int i = 0; i < 2000 && v != nullptr && v->Loading(); ++i) {
            platform::ProcessSystemEvents();
        }
        for (int i = 0; i < 5; ++i) {
            platform::ProcessSystemEvents(); // the queued redraw
        }
        return v;
    }
    fs::path dir_;
    platform::ScriptedPopups popups_;
    // The viewers of the test's own, over a parameter model as it starts.
    params::ParameterModel model_;
    record::RecordViewers viewers_{model_};
    // The sensor of a program window, where a test builds one.
    sensor::Sensor program_;
};

} // namespace viewertest
