#include "tests/faults/matrix_fixture.h"

#include "calib/calibration.h"
#include "link/connect_page.h"
#include "link/link_texts.h"
#include "live/go_loop.h"
#include "live/live_data.h"
#include "params/transfer.h"
#include "platform/runtime.h"
#include "platform/tab_control.h"
#include "platform/widgets.h"
#include "record/recorder.h"
#include "record/recorder_logic.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

using app::P;

namespace faults {

// ---- the user and the hang watch ---------------------------------------------------

MatrixUser::MatrixUser(std::string directory) : directory_(std::move(directory)) {
    platform::SetPopupHook([this](const platform::PopupRecord& r) {
        records_.push_back(r);
        platform::PopupAnswer a;
        switch (r.kind) {
        case platform::PopupKind::Confirm:
            a.result = 1;
            break;
        case platform::PopupKind::Generic:
            a.result = 1;
            for (size_t i = 0; i < r.buttons.size(); ++i) {
                if (r.buttons[i] == "OFFLINE") {
                    a.result = static_cast<int>(i) + 1;
                }
            }
            break;
        case platform::PopupKind::FileSelect:
            a.result = platform::kNewFileSelected;
            a.text = directory_ + "/" + r.file.defaultName;
            break;
        default:
            break;
        }
        return a;
    });
}

MatrixUser::~MatrixUser() {
    platform::SetPopupHook(nullptr);
}

size_t MatrixUser::Count(platform::PopupKind kind) const {
    size_t n = 0;
    for (const platform::PopupRecord& r : records_) {
        n += r.kind == kind ? 1 : 0;
    }
    return n;
}

bool MatrixUser::Saw(const std::string& title, const std::string& text) const {
    for (const platform::PopupRecord& r : records_) {
        if (r.title == title && r.text == text) {
            return true;
        }
    }
    return false;
}

HangWatch::HangWatch(std::string cell, double seconds) {
    thread_ = std::thread([this, cell = std::move(cell), seconds] {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!done_.wait_for(lock, std::chrono::duration<double>(seconds),
                            [this] { return finished_; })) {
            std::fprintf(stderr, "fault matrix: cell %s still running after %.0f s: hang\n",
                         cell.c_str(), seconds);
            std::fflush(stderr);
            std::abort();
        }
    });
}

HangWatch::~HangWatch() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
    }
    done_.notify_all();
    thread_.join();
}

// ---- the cell ------------------------------------------------------------------------

namespace {

// Values a successful operation replaces with the sensor's.
constexpr int kEditedPower = 321; // the sensor holds POWER 500
constexpr int kEditedCell = 123;  // row 0 X; the sensor holds 346
constexpr int kSensorPower = 500;
constexpr int kSensorCell = 346;
constexpr int kEditedCf[3] = {1000, 1010, 1020};
constexpr int kEditedOffset[3] = {7, 8, 9};
constexpr int kSensorOffset[3] = {48, 40, 56};
constexpr int kEditedSetValue = 1111;
constexpr int kEditedMaxDelta = 222;
constexpr int kNewBaudrateIndex = 5; // 230400; the settings select 4 (115200)

// Operations end within their time-outs; this is far beyond any of them.
constexpr double kOperationLimitSeconds = 5.0;
// Loops without a time-out of their own are ended by the test's user
// after this (the operation itself must have ended them by then).
constexpr double kLoopLimitSeconds = 3.0;
constexpr double kHangSeconds = 60.0;
// Answer time-out for the cells whose answer arrives a byte a millisecond:
// the longest (520 bytes) must fit, as it does in the program's 3 s.
constexpr double kSingleBytesTimeoutSeconds = 2.0;
constexpr unsigned kGoFramesBeforeStop = 8;
constexpr int kTriggersRecorded = 3;
// A trigger whose frame has not come within this is followed by another.
constexpr double kTriggerRepeatSeconds = 0.6;
constexpr int kTimedFrames = 3;
constexpr int kWhiteSamples = 100;
constexpr int kWideMaxDelta = 4000;
// The white calibration's factors for SETVALUE 1111 over raw 1000, 2000, 3000.
constexpr int kWhiteCf[3] = {1137, 568, 379};

const char* const kFailureTexts[] = {
    com232::kTextNoAnswer,     com232::kTextBadHeader,          com232::kTextBadData,
    com232::kTextInvalidOrder, com232::kTextCommunicationError, com232::kTextServerClosed,
    com232::kTextLinkBusy};

} // namespace

void MatrixCell::SetUp() {
    AppFixture::SetUp();
    user_.reset(); // the matrix's own user answers instead
    matrixUser_ = std::make_unique<MatrixUser>(dir_);
}

void MatrixCell::TearDown() {
    AppFixture::TearDown();
    matrixUser_.reset();
}

void MatrixCell::StartOn(Link link) {
    link_ = link;
    sim::Options o;
    o.noise = 0;
    o.pty = link == Link::Pty;
    StartSensor(o);
    sensor_->Command("scene color 1000 2000 3000");
    if (link == Link::Pty) {
        WriteSerialSettings();
    } else {
        WriteTcpSettings();
    }
    StartProgram();
    ASSERT_EQ(1, com232::LinkOk) << "the program did not connect";
    ASSERT_TRUE(matrixUser_->Records().empty());
}

std::string MatrixCell::Messages() const {
    return P().connect.messages->toPlainText().toStdString();
}

size_t MatrixCell::RecordLines() const {
    std::ifstream in(dir_ + "/RecordFile.dat", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    const std::string text = s.str();
    size_t at = text.find("\tTEMP\r\n");
    if (at == std::string::npos) {
        return 0;
    }
    size_t lines = 0;
    for (at = text.find("\r\n", at + 7); at != std::string::npos; at = text.find("\r\n", at + 2)) {
        ++lines;
    }
    return lines;
}

int MatrixCell::LineSpeed() const {
    const int fd = ::open(sensor_->PtyPath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return -1;
    }
    termios t{};
    const int rc = ::tcgetattr(fd, &t);
    ::close(fd);
    return rc == 0 ? static_cast<int>(::cfgetospeed(&t)) : -1;
}

void MatrixCell::Prepare(Op op) {
    app::Panels& p = P();
    switch (op) {
    case Op::SendEeprom:
    case Op::GetEeprom:
        p.main.eeprom->click();
        break;
    case Op::TrigRec:
    case Op::TrigRecFrames:
    case Op::TimedRecord:
        if (!recordFileChosen_) {
            record::SelRecFile(); // the user chooses RecordFile.dat
            recordFileChosen_ = true;
        }
        p.recorder.mode->SetVal(op == Op::TimedRecord ? record::kModeTimedCount
                                                      : record::kModeTriggered);
        record::CBF_EditSelectDataRec(p.recorder.mode, ctl::Event::Commit);
        p.recorder.interval->SetVal(0.25);
        p.recorder.count->SetVal(kTimedFrames);
        break;
    case Op::CycleTime:
        p.scopePage.getCycleTime->click(); // a cycle time on show
        EXPECT_GT(scope::CycleTime, 0);
        break;
    case Op::Scan:
    case Op::ScanBlocks:
        p.main.tabs->PageButton(app::kPageScope)->click();
        p.scopePage.triggerMode->SetVal(0); // SINGLE SHOT
        sensor_->Command("scene color 1000 2000 3000");
        PressScan(); // a capture on show ...
        EXPECT_EQ(1000, scope::ScopeBlocks[0].back());
        sensor_->Command("scene color 2000 1000 500"); // ... and another scene in front
        break;
    case Op::ChangeBaudrate:
        p.connect.baudrate->SetVal(kNewBaudrateIndex);
        break;
    default:
        break;
    }
    // Panels edited: a parameter read replaces these values, a failed one
    // must leave them.
    p.para.power->SetVal(kEditedPower);
    p.teachPage.grid->SetVal(1, 1, kEditedCell);
    params::GetPanelValues();
    for (int c = 0; c < 3; ++c) {
        p.calibration.cf[c]->SetVal(kEditedCf[c]);
        p.offset.offset[c]->SetVal(kEditedOffset[c]);
    }
    p.calibration.setValue->SetVal(kEditedSetValue);
    // The white calibration must pass with the raw spread of the scene.
    p.calibration.maxDelta->SetVal(op == Op::WhiteCalibration ? kWideMaxDelta : kEditedMaxDelta);
    before_.para = params::ParameterBlock;
    before_.teach = params::TeachTable;
    before_.scopeBlocks = scope::ScopeBlocks;
    before_.captures = scope::CapturesPlotted();
    before_.recordLines = RecordLines();
}

void MatrixCell::PressGo() {
    const live::GoCounters base = live::GoLoopCounters();
    const double start = platform::Timer();
    rescued_ = false;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (com232::AcquisitionRunning != 1) {
            return;
        }
        const bool enough = live::GoLoopCounters().frames - base.frames >= kGoFramesBeforeStop;
        if (enough || platform::Timer() - start > kLoopLimitSeconds) {
            poll.stop();
            rescued_ = !enough;
            P().main.stop->click();
        }
    });
    poll.start();
    P().main.go->click();
    poll.stop();
    goFrames_ = live::GoLoopCounters().frames - base.frames;
    goFailures_ = live::GoLoopCounters().failures - base.failures;
}

void MatrixCell::PressStartTrigRec() {
    const double start = platform::Timer();
    int fired = 0;
    double firedAt = start;
    rescued_ = false;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!record::RecordingRunning() || com232::AcquisitionRunning != 1) {
            return; // not recording (yet)
        }
        const bool enough = record::RunCounter() >= kTriggersRecorded;
        if (enough || platform::Timer() - start > kLoopLimitSeconds) {
            poll.stop();
            rescued_ = !enough;
            P().recorder.stopRecord->click();
            return;
        }
        const double now = platform::Timer();
        if (record::RunCounter() == fired || now - firedAt > kTriggerRepeatSeconds) {
            sensor_->Command("trigger");
            fired = static_cast<int>(record::RunCounter()) + 1;
            firedAt = now;
        }
    });
    poll.start();
    P().recorder.startTrigRec->click();
    poll.stop();
}

void MatrixCell::PressScan() {
    double waitStart = -1;
    rescued_ = false;
    QTimer poll;
    poll.setInterval(2);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (scope::ScanActive == 0) {
            return;
        }
        const double now = platform::Timer();
        if (waitStart < 0) {
            waitStart = now;
        }
        if (now - waitStart > kLoopLimitSeconds) {
            poll.stop();
            rescued_ = true;
            P().scopePage.breakScan->click();
        }
    });
    poll.start();
    P().scopePage.scan->click();
    poll.stop();
}

void MatrixCell::PressCalcCf() {
    // The white calibration ends in GO mode, which the user stops.
    const live::GoCounters base = live::GoLoopCounters();
    const double start = platform::Timer();
    rescued_ = false;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const bool enough = com232::AcquisitionRunning == 1 &&
                            live::GoLoopCounters().frames - base.frames >= kGoFramesBeforeStop;
        if (enough || platform::Timer() - start > kLoopLimitSeconds) {
            poll.stop();
            rescued_ = !enough;
            P().main.stop->click();
        }
    });
    poll.start();
    P().calibration.calcCF->click();
    poll.stop();
    goFrames_ = live::GoLoopCounters().frames - base.frames;
    goFailures_ = live::GoLoopCounters().failures - base.failures;
}

void MatrixCell::PressStartRecord() {
    const double start = platform::Timer();
    rescued_ = false;
    QTimer poll;
    poll.setInterval(2);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (record::RecordingRunning() && platform::Timer() - start > kLoopLimitSeconds) {
            poll.stop();
            rescued_ = true;
            P().recorder.stopRecord->click();
        }
    });
    poll.start();
    P().recorder.startRecord->click();
    poll.stop();
}

void MatrixCell::Run(Op op) {
    app::Panels& p = P();
    rescued_ = false;
    switch (op) {
    case Op::SendRam:
    case Op::SendTable:
    case Op::SendEeprom:
        p.main.send->click();
        break;
    case Op::GetRam:
    case Op::GetTable:
    case Op::GetEeprom:
        p.main.get->click();
        break;
    case Op::TryToConnect:
        p.connect.tryToConnect->click();
        break;
    case Op::Go:
        PressGo();
        break;
    case Op::TrigRec:
    case Op::TrigRecFrames:
        PressStartTrigRec();
        break;
    case Op::WhiteCalibration:
        PressCalcCf();
        break;
    case Op::TimedRecord:
        PressStartRecord();
        break;
    case Op::CalcOffset:
        p.offset.calc->click();
        break;
    case Op::SendCf:
        p.calibration.sendCF->click();
        break;
    case Op::GetCf:
        p.calibration.getCF->click();
        break;
    case Op::SelfCalibration:
        p.calibration.selfCalibration->click();
        break;
    case Op::CycleTime:
        p.scopePage.getCycleTime->click();
        break;
    case Op::Scan:
    case Op::ScanBlocks:
        PressScan();
        break;
    case Op::ChangeBaudrate:
        p.connect.changeBaudrate->click();
        break;
    case Op::HwInfo:
        p.connect.hwInfo->click();
        break;
    }
}

void MatrixCell::Reconnect() {
    matrixUser_->Clear();
    P().connect.tryToConnect->click();
    EXPECT_EQ(1, com232::LinkOk) << "TRY TO CONNECT after the fault";
    EXPECT_TRUE(matrixUser_->Records().empty()) << "a question after TRY TO CONNECT";
    EXPECT_TRUE(P().main.go->isEnabled());
    EXPECT_TRUE(P().connect.hwInfo->isEnabled());
}

void MatrixCell::RunCell(const Cell& cell) {
    HangWatch watch(CellName(cell), kHangSeconds);
    StartOn(cell.link);
    if (HasFatalFailure()) {
        return;
    }
    const Expectation e = Expect(cell);

    // The operation meets the fault.
    Prepare(cell.op);
    if (cell.fault == Fault::SingleBytes) {
        com232::SetAnswerTimeoutForTests(kSingleBytesTimeoutSeconds);
    }
    const double timeout = com232::AnswerTimeoutSeconds();
    const std::string command = FaultCommand(cell, timeout);
    ASSERT_EQ(0u, sensor_->Command(command).rfind("ok:", 0)) << command;
    Received();
    matrixUser_->Clear();
    const std::string messagesBefore = Messages();
    const double start = platform::Timer();
    Run(cell.op);
    const double took = platform::Timer() - start;
    com232::SetAnswerTimeoutForTests(0.4);
    EXPECT_LT(took, kOperationLimitSeconds) << "the operation did not end within its time-outs";
    EXPECT_FALSE(rescued_) << "the operation still waited when the test's user gave up";
    EXPECT_EQ("", sensor_->Command("fault list")) << "the fault never met its answer";
    sensor_->Command("fault clear");
    const std::string added = Messages().substr(messagesBefore.size());
    if (e.fails) {
        ExpectFailureReported(cell, e, added);
        ExpectUnchanged(cell, added);
    } else {
        ExpectNoFailure(added);
        ExpectDone(cell.op, added);
    }
    ExpectRequests(cell, e.fails);

    // A late answer (or the scope blocks of a capture the sensor started)
    // has left the sensor before the user goes on.
    const double quiet = cell.fault == Fault::Late ? LateAnswerMs(timeout) / 1000 + 0.1 : 0.1;
    SettleFor(std::max(0.0, start + quiet - platform::Timer()));

    // The next operation after reconnecting works.
    const bool sentBefore = !e.fails && (cell.op == Op::SendRam || cell.op == Op::SendTable ||
                                         cell.op == Op::SendEeprom);
    Reconnect();
    if (sentBefore) {
        // The sensor holds what was sent: the reconnect read it back.
        EXPECT_EQ(kEditedPower, P().para.power->value());
        EXPECT_EQ(kEditedCell, P().teachPage.grid->Val(1, 1));
    }
    Prepare(cell.op);
    Received();
    matrixUser_->Clear();
    const std::string messagesAgain = Messages();
    Run(cell.op);
    const std::string addedAgain = Messages().substr(messagesAgain.size());
    SCOPED_TRACE("the same operation after reconnecting");
    ExpectNoFailure(addedAgain);
    ExpectDone(cell.op, addedAgain);
    ExpectRequests(cell, false);
}

// ---- checks --------------------------------------------------------------------------

void MatrixCell::ExpectFailureReported(const Cell& cell, const Expectation& e,
                                       const std::string& added) {
    size_t at = 0;
    for (const std::string& text : e.texts) {
        const size_t found = added.find(text, at);
        EXPECT_NE(std::string::npos, found)
            << "missing in the message box: " << text << "\nmessage box got:\n"
            << added;
        if (found != std::string::npos) {
            at = found + text.size();
        }
    }
    EXPECT_EQ(0, com232::LinkOk);
    EXPECT_EQ(0, com232::AcquisitionRunning);
    app::Panels& p = P();
    EXPECT_EQ(app::kPageConnection, p.main.tabs->ActivePage());
    if (InfoOf(cell.op).endsOffline) {
        EXPECT_TRUE(matrixUser_->Saw("ATTENTION!", com232::kTextCouldNotConnect));
        ExpectOfflineMode();
        return;
    }
    EXPECT_TRUE(matrixUser_->Count(platform::PopupKind::Generic) == 0) << "unexpected question";
    EXPECT_EQ(com232::kTextTimeout, p.data.status->text().toStdString());
    EXPECT_FALSE(p.connect.accept->isEnabled());
    EXPECT_FALSE(p.connect.hwInfo->isEnabled());
    // The commands are usable again (TRY TO CONNECT above all).
    EXPECT_TRUE(p.connect.tryToConnect->isEnabled());
    EXPECT_TRUE(p.main.go->isEnabled());
    EXPECT_TRUE(p.main.send->isEnabled());
}

void MatrixCell::ExpectNoFailure(const std::string& added) {
    for (const char* text : kFailureTexts) {
        EXPECT_EQ(std::string::npos, added.find(text)) << "message box got:\n" << added;
    }
    EXPECT_EQ(1, com232::LinkOk);
    EXPECT_EQ(0, com232::AcquisitionRunning);
    EXPECT_NE(com232::kTextTimeout, P().data.status->text().toStdString());
    EXPECT_TRUE(P().main.go->isEnabled());
    EXPECT_TRUE(P().connect.tryToConnect->isEnabled());
    EXPECT_EQ(0u, matrixUser_->Count(platform::PopupKind::Generic)) << "unexpected question";
}

void MatrixCell::ExpectUnchanged(const Cell& cell, const std::string& added) {
    app::Panels& p = P();
    const params::ParameterBlockBytes& para = params::ParameterBlock;
    const params::TeachTableBytes& teach = params::TeachTable;
    switch (cell.op) {
    case Op::GetRam:
    case Op::GetEeprom:
    case Op::TryToConnect:
        EXPECT_EQ(0, std::memcmp(before_.para.bytes, para.bytes, sizeof para.bytes));
        EXPECT_EQ(0, std::memcmp(before_.teach.bytes, teach.bytes, sizeof teach.bytes));
        EXPECT_EQ(kEditedPower, p.para.power->value());
        EXPECT_EQ(kEditedCell, p.teachPage.grid->Val(1, 1));
        break;
    case Op::GetTable:
        // The parameter block came; the panels show nothing of it.
        EXPECT_EQ(kSensorPower, para.get(params::kPower));
        EXPECT_EQ(0, std::memcmp(before_.teach.bytes, teach.bytes, sizeof teach.bytes));
        EXPECT_EQ(kEditedPower, p.para.power->value());
        EXPECT_EQ(kEditedCell, p.teachPage.grid->Val(1, 1));
        break;
    case Op::SendRam:
    case Op::SendTable:
    case Op::SendEeprom:
        EXPECT_EQ(kEditedPower, p.para.power->value());
        break;
    case Op::Go:
        // Three frames shown, the fourth failed and ended the loop; the
        // displays keep the last good frame.
        EXPECT_EQ(3u, goFrames_);
        EXPECT_EQ(1u, goFailures_);
        EXPECT_FALSE(live::GoRunning());
        EXPECT_EQ(1000, live::LiveDataFrame.get(live::kRed));
        EXPECT_EQ(1000, p.data.rgb.red->Val());
        EXPECT_EQ(3000, p.data.page2D.blue->Val());
        break;
    case Op::TrigRec:
    case Op::TrigRecFrames:
    case Op::TimedRecord:
        // Timed recording: the first frame is in, the failed second ends it.
        EXPECT_EQ(before_.recordLines + (cell.op == Op::TimedRecord ? 1 : 0), RecordLines());
        EXPECT_FALSE(record::RecordingRunning());
        EXPECT_TRUE(matrixUser_->Saw("INFO!", "File has been saved!"));
        EXPECT_TRUE(p.recorder.startTrigRec->isEnabled());
        EXPECT_TRUE(p.recorder.startRecord->isEnabled());
        break;
    case Op::WhiteCalibration:
        // The sampling ends at the failure: no factors, no SEND CF, no GO.
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(kEditedCf[c], p.calibration.cf[c]->value());
        }
        EXPECT_FALSE(matrixUser_->Saw("CALIBRATION PASSED!", calib::kTextCalibrationPassed));
        EXPECT_EQ(0u, goFrames_);
        break;
    case Op::CalcOffset:
    case Op::GetCf:
    case Op::SendCf:
    case Op::SelfCalibration:
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(kEditedCf[c], p.calibration.cf[c]->value());
            EXPECT_EQ(kEditedOffset[c], p.offset.offset[c]->value());
        }
        EXPECT_EQ(kEditedSetValue, p.calibration.setValue->value());
        EXPECT_EQ(kEditedMaxDelta, p.calibration.maxDelta->value());
        EXPECT_EQ(0u, matrixUser_->Count(platform::PopupKind::Message));
        break;
    case Op::CycleTime:
        EXPECT_EQ(0, scope::CycleTime);
        EXPECT_EQ(0, p.scopePage.cycleTime->Val());
        EXPECT_EQ(0, p.scopePage.scanFreq->Val());
        break;
    case Op::Scan:
    case Op::ScanBlocks:
        EXPECT_EQ(before_.captures, scope::CapturesPlotted());
        EXPECT_TRUE(before_.scopeBlocks == scope::ScopeBlocks) << "the last capture changed";
        EXPECT_FALSE(scope::ScanRunning());
        EXPECT_EQ(0, scope::ScanActive);
        EXPECT_FALSE(p.scope.busy->isVisible());
        EXPECT_TRUE(p.scopePage.scan->isEnabled());
        break;
    case Op::ChangeBaudrate:
        EXPECT_NE(std::string::npos, added.find("TRY TO CHANGE BAUDRATE!\n"));
        EXPECT_EQ(std::string::npos, added.find("SUCCESS!"));
        EXPECT_TRUE(com232::LinkOpen());
        EXPECT_EQ(static_cast<int>(B115200), LineSpeed()) << "the line left its old rate";
        break;
    case Op::HwInfo:
        EXPECT_EQ(0u, matrixUser_->Count(platform::PopupKind::FileSelect));
        EXPECT_FALSE(std::filesystem::exists(dir_ + "/HardwareInitialFile.ini"));
        break;
    }
}

void MatrixCell::ExpectDone(Op op, const std::string& added) {
    app::Panels& p = P();
    switch (op) {
    case Op::GetRam:
    case Op::GetTable:
    case Op::GetEeprom:
    case Op::TryToConnect:
        EXPECT_EQ(kSensorPower, p.para.power->value());
        EXPECT_EQ(kSensorCell, p.teachPage.grid->Val(1, 1));
        EXPECT_EQ(kSensorPower, params::ParameterBlock.get(params::kPower));
        EXPECT_EQ(kSensorCell, params::TeachTable.get(0, params::kCell0));
        break;
    case Op::Go:
        EXPECT_GE(goFrames_, kGoFramesBeforeStop);
        EXPECT_EQ(0u, goFailures_);
        EXPECT_FALSE(live::GoRunning());
        break;
    case Op::TrigRec:
    case Op::TrigRecFrames:
    case Op::TimedRecord:
        EXPECT_EQ(before_.recordLines +
                      static_cast<size_t>(op == Op::TimedRecord ? kTimedFrames : kTriggersRecorded),
                  RecordLines());
        EXPECT_TRUE(matrixUser_->Saw("INFO!", "File has been saved!"));
        break;
    case Op::WhiteCalibration:
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(kWhiteCf[c], p.calibration.cf[c]->value());
        }
        EXPECT_TRUE(matrixUser_->Saw("CALIBRATION PASSED!", calib::kTextCalibrationPassed));
        EXPECT_GE(goFrames_, kGoFramesBeforeStop);
        break;
    case Op::CalcOffset:
    case Op::GetCf:
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(kSensorOffset[c], p.offset.offset[c]->value());
            if (op == Op::GetCf) {
                EXPECT_EQ(1024, p.calibration.cf[c]->value());
            }
        }
        break;
    case Op::SelfCalibration:
        // SETVALUE 3000 over raw 1000, 2000, 3000.
        EXPECT_EQ(3072, p.calibration.cf[0]->value());
        EXPECT_EQ(1536, p.calibration.cf[1]->value());
        EXPECT_EQ(1024, p.calibration.cf[2]->value());
        EXPECT_EQ(3000, p.calibration.setValue->value());
        EXPECT_EQ(1000, p.calibration.maxDelta->value());
        EXPECT_TRUE(matrixUser_->Saw("ATTENTION!", "Confirm calibration factors with SEND CF."));
        break;
    case Op::CycleTime:
        EXPECT_DOUBLE_EQ(0.25, scope::CycleTime);
        break;
    case Op::Scan:
    case Op::ScanBlocks:
        EXPECT_EQ(before_.captures + 1, scope::CapturesPlotted());
        EXPECT_EQ(2000, scope::ScopeBlocks[0].back()); // the new scene
        EXPECT_EQ(500, scope::ScopeBlocks[2].back());
        EXPECT_FALSE(p.scope.busy->isVisible());
        break;
    case Op::ChangeBaudrate:
        EXPECT_NE(std::string::npos, added.find("SUCCESS!\n"));
        EXPECT_NE(std::string::npos,
                  added.find("ATTENTION!!!   CONFIRM NEW BAUDRATE WITH EEPROM AND SEND!"));
        EXPECT_EQ(static_cast<int>(B230400), LineSpeed());
        break;
    case Op::HwInfo:
        EXPECT_NE(std::string::npos, added.find("HARDWARE INI FILE HAS BEEN SAVED TO:\n"));
        EXPECT_TRUE(std::filesystem::exists(dir_ + "/HardwareInitialFile.ini"));
        break;
    case Op::SendRam:
    case Op::SendTable:
    case Op::SendEeprom:
    case Op::SendCf:
        break; // what the sensor holds is checked after the reconnect
    }
}

std::vector<std::string> MatrixCell::ExpectedRequests(const Cell& cell, bool fails) const {
    switch (cell.op) {
    case Op::SendRam:
        return fails ? std::vector<std::string>{"1 0 34"}
                     : std::vector<std::string>{"1 0 34", "1 2 496"};
    case Op::SendTable:
        return {"1 0 34", "1 2 496"};
    case Op::GetRam:
        return fails ? std::vector<std::string>{"2 0 0"}
                     : std::vector<std::string>{"2 0 0", "2 2 0"};
    case Op::GetTable:
        return {"2 0 0", "2 2 0"};
    case Op::SendEeprom:
        return {"1 0 34", "1 2 496", "3 0 0"};
    case Op::GetEeprom:
        return fails ? std::vector<std::string>{"4 0 0"}
                     : std::vector<std::string>{"4 0 0", "2 0 0", "2 2 0"};
    case Op::TryToConnect:
        return fails ? std::vector<std::string>{"7 0 0"}
                     : std::vector<std::string>{"7 0 0", "2 0 0", "2 2 0"};
    case Op::Go:
        return {}; // counted in ExpectRequests
    case Op::TrigRec:
    case Op::TrigRecFrames:
        // The stop order follows whatever happened, unless the connection is gone.
        if (fails && cell.link == Link::Tcp && cell.fault == Fault::Closed) {
            return {"30 1 0"};
        }
        return {"30 1 0", "30 0 0"};
    case Op::CalcOffset:
        return fails ? std::vector<std::string>{"100 1 0"}
                     : std::vector<std::string>{"100 1 0", "102 0 0"};
    case Op::SendCf:
        return {"101 0 6"};
    case Op::GetCf:
        return {"102 0 0"};
    case Op::SelfCalibration:
        return {"103 0 0"};
    case Op::CycleTime:
        return {"105 0 0"};
    case Op::Scan:
    case Op::ScanBlocks:
        return {"110 1 10"};
    case Op::WhiteCalibration:
    case Op::TimedRecord:
        return {}; // counted in ExpectRequests
    case Op::ChangeBaudrate:
        return fails ? std::vector<std::string>{"190 5 0"}
                     : std::vector<std::string>{"190 5 0", "7 0 0", "2 0 0", "2 2 0"};
    case Op::HwInfo:
        return {"2 0 0", "2 2 0", "102 0 0", "194 20001 0"};
    }
    return {};
}

void MatrixCell::ExpectRequests(const Cell& cell, bool fails) {
    std::vector<std::string> got = Received();
    if (cell.op != Op::Go && cell.op != Op::WhiteCalibration && cell.op != Op::TimedRecord) {
        EXPECT_EQ(ExpectedRequests(cell, fails), got);
        return;
    }
    // Live frames only, nothing after the failed one; the white calibration
    // sends its factors between its samples and GO mode.
    const auto sendCf = std::find(got.begin(), got.end(), "101 0 6");
    if (cell.op == Op::WhiteCalibration && !fails) {
        EXPECT_EQ(kWhiteSamples, sendCf - got.begin());
        EXPECT_GE(static_cast<unsigned>(got.end() - sendCf), kGoFramesBeforeStop + 1);
        got.erase(sendCf, sendCf + (sendCf != got.end() ? 1 : 0));
    }
    for (const std::string& r : got) {
        EXPECT_EQ("8 0 0", r);
    }
    const size_t skip = InfoOf(cell.op).skip;
    if (fails) {
        EXPECT_EQ(skip + 1, got.size());
    } else if (cell.op == Op::TimedRecord) {
        EXPECT_EQ(static_cast<size_t>(kTimedFrames), got.size());
    } else if (cell.op == Op::Go) {
        EXPECT_GE(got.size(), kGoFramesBeforeStop);
    }
}

} // namespace faults
