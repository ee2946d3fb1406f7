#include "tests/faults/matrix_fixture.h"
#include "app/panels.h"

#include "calib/calibration.h"
#include "link/connect_page.h"
#include "link/link_texts.h"
#include "live/go_loop.h"
#include "live/live_data.h"
#include "params/parameter_model.h"
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

using namespace values;

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
    ASSERT_EQ(1, app::P().sensor.link.LinkOk) << "the program did not connect";
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
            p.recorderView->SelRecFile(); // the user chooses RecordFile.dat
            recordFileChosen_ = true;
        }
        p.recorder.mode->SetVal(op == Op::TimedRecord ? record::kModeTimedCount
                                                      : record::kModeTriggered);
        p.recorderView->CBF_EditSelectDataRec(p.recorder.mode, ctl::Event::Commit);
        p.recorder.interval->SetVal(0.25);
        p.recorder.count->SetVal(kTimedFrames);
        break;
    case Op::CycleTime:
        p.scopePage.getCycleTime->click(); // a cycle time on show
        EXPECT_GT(Scope().CycleTime, 0);
        break;
    case Op::Scan:
    case Op::ScanBlocks:
        p.main.tabs->PageButton(app::kPageScope)->click();
        p.scopePage.triggerMode->SetVal(0); // SINGLE SHOT
        sensor_->Command("scene color 1000 2000 3000");
        PressScan(); // a capture on show ...
        EXPECT_EQ(1000, Scope().ScopeBlocks[0].back());
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
    app::P().sensor.model.SetValue(params::kPower, kEditedPower);
    app::P().sensor.model.SetCell(0, params::kCell0, kEditedCell);
    for (int c = 0; c < 3; ++c) {
        p.calibration.cf[c]->SetVal(kEditedCf[c]);
        p.offset.offset[c]->SetVal(kEditedOffset[c]);
    }
    p.calibration.setValue->SetVal(kEditedSetValue);
    // The white calibration must pass with the raw spread of the scene.
    p.calibration.maxDelta->SetVal(op == Op::WhiteCalibration ? kWideMaxDelta : kEditedMaxDelta);
    before_.para = app::P().sensor.model.Block();
    before_.teach = app::P().sensor.model.Table();
    before_.scopeBlocks = Scope().ScopeBlocks;
    before_.captures = Scope().captures;
    before_.recordLines = RecordLines();
}

void MatrixCell::PressGo() {
    const live::GoCounters base = app::P().sensor.live.GoLoopCounters;
    const double start = platform::Timer();
    rescued_ = false;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (app::P().sensor.link.AcquisitionRunning != 1) {
            return;
        }
        const bool enough =
            app::P().sensor.live.GoLoopCounters.frames - base.frames >= kGoFramesBeforeStop;
        if (enough || platform::Timer() - start > kLoopLimitSeconds) {
            poll.stop();
            rescued_ = !enough;
            P().main.stop->click();
        }
    });
    poll.start();
    P().main.go->click();
    poll.stop();
    goFrames_ = app::P().sensor.live.GoLoopCounters.frames - base.frames;
    goFailures_ = app::P().sensor.live.GoLoopCounters.failures - base.failures;
}

void MatrixCell::PressStartTrigRec() {
    const double start = platform::Timer();
    int fired = 0;
    double firedAt = start;
    rescued_ = false;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!Recording().running || app::P().sensor.link.AcquisitionRunning != 1) {
            return; // not recording (yet)
        }
        const bool enough = Recording().runCounter >= kTriggersRecorded;
        if (enough || platform::Timer() - start > kLoopLimitSeconds) {
            poll.stop();
            rescued_ = !enough;
            P().recorder.stopRecord->click();
            return;
        }
        const double now = platform::Timer();
        if (Recording().runCounter == fired || now - firedAt > kTriggerRepeatSeconds) {
            sensor_->Command("trigger");
            fired = static_cast<int>(Recording().runCounter) + 1;
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
        if (Capture().ScanActive == 0) {
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
    const live::GoCounters base = app::P().sensor.live.GoLoopCounters;
    const double start = platform::Timer();
    rescued_ = false;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const bool enough =
            app::P().sensor.link.AcquisitionRunning == 1 &&
            app::P().sensor.live.GoLoopCounters.frames - base.frames >= kGoFramesBeforeStop;
        if (enough || platform::Timer() - start > kLoopLimitSeconds) {
            poll.stop();
            rescued_ = !enough;
            P().main.stop->click();
        }
    });
    poll.start();
    P().calibration.calcCF->click();
    poll.stop();
    goFrames_ = app::P().sensor.live.GoLoopCounters.frames - base.frames;
    goFailures_ = app::P().sensor.live.GoLoopCounters.failures - base.failures;
}

void MatrixCell::PressStartRecord() {
    const double start = platform::Timer();
    rescued_ = false;
    QTimer poll;
    poll.setInterval(2);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (Recording().running && platform::Timer() - start > kLoopLimitSeconds) {
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
    EXPECT_EQ(1, app::P().sensor.link.LinkOk) << "TRY TO CONNECT after the fault";
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
        app::P().sensor.link.SetAnswerTimeout(kSingleBytesTimeoutSeconds);
    }
    const double timeout = app::P().sensor.link.AnswerTimeoutSeconds();
    const std::string command = FaultCommand(cell, timeout);
    ASSERT_EQ(0u, sensor_->Command(command).rfind("ok:", 0)) << command;
    Received();
    matrixUser_->Clear();
    const std::string messagesBefore = Messages();
    const double start = platform::Timer();
    Run(cell.op);
    const double took = platform::Timer() - start;
    app::P().sensor.link.SetAnswerTimeout(0.4);
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

} // namespace faults
