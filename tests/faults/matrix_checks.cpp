#include "app/panels.h"
#include "tests/faults/matrix_fixture.h"

#include "calib/calibration.h"
#include "link/connect_page.h"
#include "link/link_texts.h"
#include "live/frame_stream.h"
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

using namespace values;

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
    EXPECT_EQ(0, app::P().sensor.link.LinkOk);
    EXPECT_EQ(0, app::P().sensor.link.AcquisitionRunning);
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
    EXPECT_EQ(1, app::P().sensor.link.LinkOk);
    EXPECT_EQ(0, app::P().sensor.link.AcquisitionRunning);
    EXPECT_NE(com232::kTextTimeout, P().data.status->text().toStdString());
    EXPECT_TRUE(P().main.go->isEnabled());
    EXPECT_TRUE(P().connect.tryToConnect->isEnabled());
    EXPECT_EQ(0u, matrixUser_->Count(platform::PopupKind::Generic)) << "unexpected question";
}

void MatrixCell::ExpectUnchanged(const Cell& cell, const std::string& added) {
    app::Panels& p = P();
    const params::ParameterBlockBytes& para = app::P().sensor.model.Block();
    const params::TeachTableBytes& teach = app::P().sensor.model.Table();
    switch (cell.op) {
    case Op::GetRam:
    case Op::GetTable: // the parameter block came, but half a set is not taken
    case Op::GetEeprom:
    case Op::TryToConnect:
        EXPECT_EQ(0, std::memcmp(before_.para.bytes, para.bytes, sizeof para.bytes));
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
        EXPECT_FALSE(app::P().sensor.live.GoRunning);
        EXPECT_EQ(1000, app::P().sensor.frames.Current().get(live::kRed));
        EXPECT_EQ(1000, p.data.rgb.red->Val());
        EXPECT_EQ(3000, p.data.page2D.blue->Val());
        break;
    case Op::TrigRec:
    case Op::TrigRecFrames:
    case Op::TimedRecord:
        // Timed recording: the first frame is in, the failed second ends it.
        EXPECT_EQ(before_.recordLines + (cell.op == Op::TimedRecord ? 1 : 0), RecordLines());
        EXPECT_FALSE(Recording().running);
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
        EXPECT_EQ(0, Scope().CycleTime);
        EXPECT_EQ(0, p.scopePage.cycleTime->Val());
        EXPECT_EQ(0, p.scopePage.scanFreq->Val());
        break;
    case Op::Scan:
    case Op::ScanBlocks:
        EXPECT_EQ(before_.captures, Scope().captures);
        EXPECT_TRUE(before_.scopeBlocks == Scope().ScopeBlocks) << "the last capture changed";
        EXPECT_FALSE(Scope().scanRunning);
        EXPECT_EQ(0, Capture().ScanActive);
        EXPECT_FALSE(p.scope.busy->isVisible());
        EXPECT_TRUE(p.scopePage.scan->isEnabled());
        break;
    case Op::ChangeBaudrate:
        EXPECT_NE(std::string::npos, added.find("TRY TO CHANGE BAUDRATE!\n"));
        EXPECT_EQ(std::string::npos, added.find("SUCCESS!"));
        EXPECT_TRUE(app::P().sensor.link.LinkOpen());
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
        EXPECT_EQ(kSensorPower, app::P().sensor.model.Block().get(params::kPower));
        EXPECT_EQ(kSensorCell, app::P().sensor.model.Table().get(0, params::kCell0));
        break;
    case Op::Go:
        EXPECT_GE(goFrames_, kGoFramesBeforeStop);
        EXPECT_EQ(0u, goFailures_);
        EXPECT_FALSE(app::P().sensor.live.GoRunning);
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
        EXPECT_DOUBLE_EQ(0.25, Scope().CycleTime);
        break;
    case Op::Scan:
    case Op::ScanBlocks:
        EXPECT_EQ(before_.captures + 1, Scope().captures);
        EXPECT_EQ(2000, Scope().ScopeBlocks[0].back()); // the new scene
        EXPECT_EQ(500, Scope().ScopeBlocks[2].back());
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
