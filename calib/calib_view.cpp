// The calibration view made and wired: each control gets its help text
// (right click) and its action; the raw-value displays follow the frame
// stream.
#include "calib/calib_view.h"

#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"

#include <QDialog>
#include <QEvent>
#include <QFrame>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace calib {
namespace {

constexpr const char* kHelpCf = "Edit Box for the calibration factor.\nDefault value is 1024. "
                                "\nMinimum value is 0. \nMaximum value is 4096.";
constexpr const char* kHelpRaw = "Displays the RAW values of RED, GREEN and BLUE.";

// A control's callback: the view's member of that name.
ctl::Callback Call(CalibrationView* view, int (CalibrationView::*member)(QWidget*, ctl::Event)) {
    return [view, member](QWidget* w, ctl::Event e) { (view->*member)(w, e); };
}

int BarValue(int16_t v) {
    return v < 0 ? 0 : (v > 4095 ? 4095 : v);
}

// Hands the close box (and Escape) of the password panel to its panel
// callback; the panel is only hidden, so it can be shown again.
class PanelCloseFilter : public QObject {
public:
    PanelCloseFilter(QDialog* panel, CalibrationView& view) : panel_(panel), view_(view) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == panel_ && event->type() == QEvent::Close) {
            view_.CBF_PASSWORDP(panel_, ctl::Event::Close);
            event->accept();
            return true;
        }
        return false;
    }

private:
    QDialog* panel_;
    CalibrationView& view_;
};

} // namespace

// ---- raw values ---------------------------------------------------------------

CalibDisplays::CalibDisplays(CalibrationPage& page, live::FrameStream& frames,
                             live::DisplayRefresh& refresh)
    : page_(page), frames_(frames), refresh_(refresh) {
    published_ = frames.published.Connect([this](const live::LiveDataFrameBytes&, unsigned uses) {
        if (uses & live::kUseCalibration) {
            refresh_.Request(live::kShowCalibData);
        }
    });
    refresh_.SetWriter(live::kShowCalibData, [this] { WriteCalibData(); });
}

CalibDisplays::~CalibDisplays() {
    refresh_.SetWriter(live::kShowCalibData, {});
}

void CalibDisplays::WriteCalibData() {
    if (!shell::Shell().PanelsLoaded()) {
        return;
    }
    const live::LiveField raw[3] = {live::kRawRed, live::kRawGreen, live::kRawBlue};
    for (int i = 0; i < 3; ++i) {
        const int16_t v = frames_.Current().get(raw[i]);
        ctl::SetBarValue(page_.rawBar[i], BarValue(v));
        page_.raw[i]->SetVal(v);
    }
    page_.rawDelta->SetVal(frames_.RawDelta());
}

// ---- the view -------------------------------------------------------------------

CalibrationView::CalibrationView(CalibPanels& panels, const live::LiveParts& parts,
                                 live::DisplayRefresh& refresh, CalibState& state)
    : panels_(panels), parts_(parts), link_(parts.link), frames_(parts.frames), refresh_(refresh),
      state_(state), displays_(panels.calibration, parts.frames, refresh) {
    WireCalibrationPage();
    WireOffsetPage();
    WirePasswordPanel();
}

CalibrationView::~CalibrationView() = default;

void CalibrationView::WireCalibrationPage() {
    CalibrationPage& ui = panels_.calibration;
    // The decoration first: its binding also filters the widgets inside it,
    // and the filters installed later (the controls' own) are asked first,
    // so every control keeps its help text and its right double click.
    ctl::Bind(ui.decoration, nullptr, Call(this, &CalibrationView::CBF_DecoCalibrate1));
    ctl::Bind(ui.sendCF,
              "Calibration factors for RED,GREEN and BLUE will be send to the EEPROM of the "
              "sensor.",
              Call(this, &CalibrationView::CBF_ButtonSendCF));
    ctl::Bind(ui.getCF, "Calibration factors for RED,GREEN and BLUE will be read from the sensor.",
              Call(this, &CalibrationView::CBF_ButtonGetCF));
    ctl::Bind(ui.calcCF, "Calculate the calibration factors for RED, GREEN and BLUE. ",
              Call(this, &CalibrationView::CBF_ButtonCalcCF));
    ctl::Bind(ui.selfCalibration,
              " Sensor calculates the calibration factors for RED, GREEN and BLUE. ",
              Call(this, &CalibrationView::CBF_ButtonStartSelfCalibration));
    for (int c = 0; c < 3; ++c) {
        ctl::Bind(ui.cf[c], kHelpCf, {});
        ctl::Bind(ui.rawBar[c], kHelpRaw, {});
        ctl::Bind(ui.raw[c], kHelpRaw, {});
    }
    ctl::Bind(ui.setValue, "Choose the setvalue for RED,GREEN and BLUE. ", {});
    ctl::Bind(ui.maxDelta, "Choose the maximum DELTA value of RED,GREEN and BLUE. ", {});
    ctl::Bind(ui.rawDelta,
              "Displays the delta of the raw values of RED, GREEN and BLUE. \nDelta is the peak "
              "to peak value of the lowest number of RED, GREEN or BLUE \nand the highest number "
              "of RED, GREEN or BLUE of the RAW-DATAS.",
              {});
}

void CalibrationView::WireOffsetPage() {
    OffsetPage& ui = panels_.offset;
    ctl::Bind(ui.send,
              "Offset values for RED,GREEN and BLUE will be send to the EEPROM of the sensor.",
              Call(this, &CalibrationView::CBF_ButtonSendOffset));
    ctl::Bind(ui.get, "Offset values for RED,GREEN and BLUE will be read from the sensor.",
              Call(this, &CalibrationView::CBF_ButtonGetOffset));
    ctl::Bind(ui.calc, "Detect the offset values for RED, GREEN and BLUE. ",
              Call(this, &CalibrationView::CBF_ButtonCalcOffset));
    ctl::Bind(ui.close, "Close PANEL and return to MAIN PANEL. ",
              Call(this, &CalibrationView::CBF_ButtonCloseOffsetCompensation));
    for (ctl::U16Spin* field : ui.offset) {
        ctl::Bind(field, "Edit Box for the offset values. ", {});
    }
}

// The password field is checked on Enter; the close box only hides the panel.
void CalibrationView::WirePasswordPanel() {
    PasswordPanel& pw = panels_.password;
    QObject::connect(pw.password, &QLineEdit::returnPressed, &connections_,
                     [this, field = pw.password] { CBF_StringEnterPW(field, ctl::Event::Commit); });
    closeFilter_ = std::make_unique<PanelCloseFilter>(pw.panel, *this);
    pw.panel->installEventFilter(closeFilter_.get());
}

} // namespace calib
