// The recorder page when it becomes the active page: the controls of the
// record mode, and the record time of a timed recording.
#include "platform/tab_control.h"
#include "platform/widgets.h"
#include "record/recorder_logic.h"
#include "tests/app/app_fixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>

using app::P;

namespace {

// Replaces the text of `w` by `text` as typed on the keyboard, then Enter.
void TypeAndEnter(QWidget* w, const QString& text) {
    auto* spin = qobject_cast<QAbstractSpinBox*>(w);
    if (spin != nullptr) {
        spin->selectAll();
    }
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(w, &enter);
}

} // namespace

TEST(RecorderLogic, RecordTimeSplitsIntoDaysHoursMinutesSeconds) {
    const record::RecordTime t = record::SplitRecordTime(86400.0 + 3600 + 60 + 1.5);
    EXPECT_EQ(1, t.days);
    EXPECT_EQ(1, t.hours);
    EXPECT_EQ(1, t.minutes);
    EXPECT_DOUBLE_EQ(1.5, t.seconds);
    const record::RecordTime z = record::SplitRecordTime(-5);
    EXPECT_EQ(0, z.days + z.hours + z.minutes);
    EXPECT_EQ(0, z.seconds);
    // an unknown mode shows what the timed recording with a count shows
    const record::RecordModeView v = record::ViewOfRecordMode(9);
    EXPECT_TRUE(v.count && v.recordTime && v.remaining && v.startRecord);
    EXPECT_FALSE(v.runCounter || v.manualRecord || v.startTrigRec);
}

TEST_F(AppFixture, ChoosingTheRecorderPageShowsTheModesControlsAndTheRecordTime) {
    StartSensor();
    WriteTcpSettings();
    StartProgram();
    record::RecorderPage& r = P().recorder;
    ctl::TabControl* tabs = P().main.tabs;
    QWidget* page = tabs->Page(app::kPageRecorder);

    r.mode->SetVal(record::kModeTriggered);
    tabs->PageButton(app::kPageRecorder)->click();
    EXPECT_TRUE(r.runCounterRow->isVisibleTo(page));
    EXPECT_TRUE(r.startTrigRec->isVisibleTo(page));
    EXPECT_TRUE(r.stopRecord->isVisibleTo(page));
    EXPECT_FALSE(r.intervalRow->isVisibleTo(page));
    EXPECT_FALSE(r.countRow->isVisibleTo(page));
    EXPECT_FALSE(r.startRecord->isVisibleTo(page));

    tabs->PageButton(app::kPageParameter)->click();
    r.mode->SetVal(record::kModeTimedCount);
    r.interval->SetVal(1.5);
    r.count->SetVal(2000); // 3000 s
    r.recorded->SetVal(17);
    tabs->PageButton(app::kPageRecorder)->click();
    EXPECT_TRUE(r.countRow->isVisibleTo(page));
    EXPECT_TRUE(r.recordTimeRow->isVisibleTo(page));
    EXPECT_FALSE(r.runCounterRow->isVisibleTo(page));
    EXPECT_FALSE(r.startTrigRec->isVisibleTo(page));
    EXPECT_EQ(0, r.days->Val());
    EXPECT_EQ(0, r.hours->Val());
    EXPECT_EQ(50, r.minutes->Val());
    EXPECT_EQ(0, r.seconds->Val());
    EXPECT_EQ(0, r.recorded->Val());
    EXPECT_EQ(2000, r.remaining->Val());
}

TEST_F(AppFixture, AnIntervalTypedBelowTheMinimumRecordsAtTheMinimum) {
    StartSensor();
    WriteTcpSettings();
    StartProgram();
    record::RecorderPage& r = P().recorder;
    P().main.tabs->PageButton(app::kPageRecorder)->click();
    r.count->SetVal(100);
    for (const char* typed : {"0.1", "0"}) {
        r.interval->SetVal(1.0);
        TypeAndEnter(r.interval, typed);
        EXPECT_DOUBLE_EQ(0.25, r.interval->value()) << typed;
        EXPECT_EQ("0.25", r.interval->text().toStdString()) << typed;
        // RECORD TIME: 0 days, 0 hours, 0 minutes, 25 seconds.
        EXPECT_EQ("0 0 0 25.00", (r.days->text() + " " + r.hours->text() + " " + r.minutes->text() +
                                  " " + r.seconds->text())
                                     .toStdString())
            << typed;
    }
}
