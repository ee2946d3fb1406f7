#include "tests/record/record_fixture.h"
#include "app/panels.h"

#include "live/frame_stream.h"
#include "live/live_data.h"
#include "platform/widgets.h"

#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <fstream>
#include <sstream>

void RecordTest::StartRecorder(bool serial) {
    ASSERT_NO_FATAL_FAILURE(StartConnected(serial, {}, SteadyScene()));
    path_ = dir_ + "/RecordFile.dat";
    ChooseNewFile(path_);
    Received();
    user_->Clear();
}

void RecordTest::ChooseNewFile(const std::string& path) {
    user_->Answer(platform::kNewFileSelected, path);
    Recorder().SelRecFile();
}

void RecordTest::SelectMode(int mode) {
    app::P().recorder.mode->SetVal(mode);
    Recorder().CBF_EditSelectDataRec(app::P().recorder.mode, ctl::Event::Commit);
}

void RecordTest::RunRecording(QWidget* button, std::function<bool()> during, double limitSeconds) {
    const double start = platform::Timer();
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!Recording().running || app::P().sensor.link.AcquisitionRunning != 1) {
            return; // not recording yet, or ending
        }
        if (during() || platform::Timer() - start > limitSeconds) {
            poll.stop();
            app::P().recorder.stopRecord->click();
        }
    });
    poll.start();
    static_cast<QPushButton*>(button)->click();
    poll.stop();
}

std::string RecordTest::ReadFile(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> RecordTest::DataLines(const std::string& path) const {
    const std::string text = ReadFile(path);
    std::vector<std::string> lines;
    const std::string columnsEnd = "\tTEMP\r\n";
    size_t at = text.find(columnsEnd);
    if (at == std::string::npos) {
        return lines;
    }
    at += columnsEnd.size();
    while (at < text.size()) {
        const size_t end = text.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(text.substr(at)); // an unfinished last line
            break;
        }
        lines.push_back(text.substr(at, end + 2 - at));
        at = end + 2;
    }
    return lines;
}

std::string RecordTest::FieldsOf(const std::string& line) {
    // Date and time are the first two fields.
    const size_t first = line.find('\t');
    const size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
    return second == std::string::npos ? std::string() : line.substr(second + 1);
}

std::string RecordTest::FieldsOfCurrentFrame() {
    std::tm t{};
    return FieldsOf(record::RecordLine(app::P().sensor.frames.Current(), t));
}

size_t RecordTest::CountOf(const std::vector<std::string>& lines, const std::string& line) const {
    return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
}
