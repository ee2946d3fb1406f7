// Makes a triggered run of the simulated sensor into a record file and
// renders the record viewer on it to PNG files, for reviewing the viewer
// without a display: the run, a span, a zoom, the 3D views, a second run
// laid over the first, FOLLOW across a file started afresh and a record of
// one frame.
//   QT_QPA_PLATFORM=offscreen c3-viewer-shots OUTPUT_DIR [FRAMES]
// The sensor holds its factory parameter set (the conveyor's colours taught
// into rows 0..5) and sends a frame on every rising edge of its light
// barrier, as it does during START TRIG REC; every frame is written with the
// program's own record writer. The viewer shows the run over the same
// teach table.
#include "app/panels.h"
#include "app/shell.h"
#include "params/parameter_model.h"
#include "params/teach_convert.h"
#include "platform/graph.h"
#include "platform/runtime.h"
#include "platform/tab_control.h"
#include "record/record_file.h"
#include "record/record_viewer.h"
#include "record/record_viewers.h"
#include "sensor/sensor.h"
#include "sim/dispatcher.h"
#include "sim/sensor_core.h"

#include <QDir>
#include <QTabWidget>

#include <cstdio>

namespace {

// Collects the frames the sensor sends by itself on each trigger.
class TriggeredFrames : public sim::ScanObserver {
public:
    explicit TriggeredFrames(sim::SensorCore* core) : core_(core) {}
    void OnScan(const sim::ScanResult& scan) override {
        if (scan.in0 && !previousIn0_) {
            frames.push_back({scan.us, core_->LiveFrame()});
        }
        previousIn0_ = scan.in0;
    }
    struct Sent {
        uint64_t us;
        live::LiveDataFrameBytes frame;
    };
    std::vector<Sent> frames;

private:
    sim::SensorCore* core_;
    bool previousIn0_ = false;
};

std::tm StartPlus(uint64_t us) {
    const long s = static_cast<long>(us / 1000000);
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = 11;
    t.tm_mday = 8;
    t.tm_hour = 9 + static_cast<int>(s / 3600);
    t.tm_min = static_cast<int>((s / 60) % 60);
    t.tm_sec = static_cast<int>(s % 60);
    return t;
}

void Save(QWidget* w, const QString& file) {
    w->grab().save(file);
    std::printf("%s\n", file.toLocal8Bit().constData());
}

void Settle() {
    for (int i = 0; i < 20; ++i) {
        platform::ProcessSystemEvents();
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR [FRAMES]\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const size_t wanted = argc > 2 ? static_cast<size_t>(std::atol(argv[2])) : 4000;
    QDir().mkpath(out);
    platform::InitRuntime(argc, argv);

    sim::Memories memories;
    const sim::ParameterSet factory = sim::Dispatcher::FactorySet();
    memories.ram[0] = memories.eeprom[0] = factory;
    // More receiver noise than the default, so some frames fall outside
    // every taught tolerance.
    sim::SceneOptions scene;
    scene.noise = 90;
    sim::SensorCore core(&memories, scene, 250);
    core.DarkSignal(memories.calib.offset);
    TriggeredFrames sent(&core);
    for (uint64_t us = 0; sent.frames.size() < wanted; us += 100000) {
        core.AdvanceTo(us, &sent);
    }
    const std::string header = record::RecordFileHeader(shell::kProgramTitle, "SIMULATED SENSOR");
    std::string text = header;
    for (const auto& s : sent.frames) {
        text += record::RecordLine(s.frame, StartPlus(s.us));
    }
    const std::string path = (out + "/TriggeredRun.dat").toStdString();
    std::string error;
    if (!record::StartRecordFile(path, text, &error)) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
        return 1;
    }
    // A second run of the same line an hour later, noisier.
    scene.noise = 160;
    sim::SensorCore second(&memories, scene, 250);
    second.DarkSignal(memories.calib.offset);
    TriggeredFrames sentAgain(&second);
    for (uint64_t us = 0; sentAgain.frames.size() < wanted / 2; us += 100000) {
        second.AdvanceTo(us, &sentAgain);
    }
    std::string again = header;
    for (const auto& s : sentAgain.frames) {
        again += record::RecordLine(s.frame, StartPlus(s.us + 3600000000ULL));
    }
    const std::string secondPath = (out + "/SecondRun.dat").toStdString();
    record::StartRecordFile(secondPath, again, &error);
    std::printf("%s: %zu frames\n", path.c_str(), sent.frames.size());

    // The recorder page with VIEW RECORD...
    auto* program = new sensor::Sensor; // outlives the window
    app::LoadPanels(*program);
    app::P().main.tabs->SetActivePage(shell::kPageRecorder);
    app::P().main.window->resize(790, 548);
    app::P().main.window->show();
    Settle();
    Save(app::P().main.window, out + "/recorder_page.png");

    app::P().sensor.model.Replace(factory.block, factory.table);
    record::RecordViewer* v = app::Viewers().Open(path);
    v->resize(1400, 820);
    while (v->Loading()) {
        platform::ProcessSystemEvents();
    }
    for (int f : {3, 4, 5}) {
        v->ShowField(f, true); // X, Y, INT with the channels
    }
    v->ShowField(record::kFieldColor, true);
    Settle();
    v->SetFrameCursor(v->Run().Frames() / 3);
    Settle();
    Save(v, out + "/viewer_run.png");

    // A span of a few hundred frames: the plane shows only their points.
    const size_t first = v->Run().Frames() / 2;
    const QCPRange range = v->SeriesGraph()->xAxis->range();
    const double perFrame = range.size() / static_cast<double>(v->Run().Frames());
    v->SelectSpan(range.lower + perFrame * first, range.lower + perFrame * (first + 300));
    Settle();
    Save(v, out + "/viewer_span.png");

    // Zoomed into the span, over the frame number.
    v->SetTimeAxis(false);
    v->SeriesGraph()->xAxis->setRange(first - 20.0, first + 120.0);
    Settle();
    v->SetFrameCursor(first + 50);
    Settle();
    Save(v, out + "/viewer_zoom.png");

    // The same run in a 3D mode: X/Y, X/INT and Y/INT over the ellipses.
    params::ParameterBlockBytes block = factory.block;
    params::TeachTableBytes table = factory.table;
    params::ConvertTable(params::kXyInt2D, params::kXyInt3D, &table);
    block.set(params::kCalculationMode, params::kXyInt3D);
    app::P().sensor.model.Replace(block, table);
    v->ClearSpan();
    v->ZoomAll();
    Settle();
    Save(v, out + "/viewer_3d.png");

    // The second run laid over the first, both from their start.
    app::P().sensor.model.Replace(factory.block, factory.table);
    v->CompareWith(QString::fromStdString(secondPath));
    while (v->Loading()) {
        platform::ProcessSystemEvents();
    }
    v->ZoomAll();
    Settle();
    Save(v, out + "/viewer_compare.png");
    app::Viewers().CloseAll();

    // FOLLOW: a file started afresh while shown, then growing.
    const std::string growing = (out + "/Growing.dat").toStdString();
    record::StartRecordFile(
        growing, header + record::RecordLine(sent.frames[0].frame, StartPlus(0)), &error);
    v = app::Viewers().Open(growing);
    v->resize(1400, 820);
    while (v->Loading()) {
        platform::ProcessSystemEvents();
    }
    v->SetFollow(true);
    record::StartRecordFile(
        growing, header + record::RecordLine(sent.frames[1].frame, StartPlus(7200000000ULL)),
        &error);
    v->FollowNow();
    Settle();
    Save(v, out + "/viewer_follow_first_frame.png");
    for (size_t i = 2; i < std::min<size_t>(sent.frames.size(), 400); ++i) {
        record::AppendRecordLine(
            growing,
            record::RecordLine(sent.frames[i].frame, StartPlus(7200000000ULL + sent.frames[i].us)),
            &error);
    }
    v->FollowNow();
    Settle();
    Save(v, out + "/viewer_follow_grown.png");
    app::Viewers().CloseAll();

    // A record of one frame.
    const std::string one = (out + "/OneFrame.dat").toStdString();
    record::StartRecordFile(one, header + record::RecordLine(sent.frames[5].frame, StartPlus(0)),
                            &error);
    v = app::Viewers().Open(one);
    v->resize(1400, 820);
    while (v->Loading()) {
        platform::ProcessSystemEvents();
    }
    Settle();
    Save(v, out + "/viewer_one_frame.png");
    app::Viewers().CloseAll();
    app::DiscardPanels();
    return 0;
}
