#include "tests/teach/teach_fixture.h"
#include "app/panels.h"

#include "params/parameter_model.h"

#include "platform/widgets.h"

#include <QTimer>

void TeachFixture::SetUp() {
    AppFixture::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartConnected(false, {}, SteadyScene()));
}

std::array<int, 5> TeachFixture::GridRow(int r) {
    std::array<int, 5> cells{};
    for (int c = 0; c < 5; ++c) {
        cells[static_cast<size_t>(c)] = app::P().teachPage.grid->Val(r + 1, c + 1);
    }
    return cells;
}

void TeachFixture::SetGridRow(int r, const std::array<int, 5>& cells) {
    for (int c = 0; c < 5; ++c) {
        app::P().sensor.model.SetCell(r, static_cast<params::TeachField>(c),
                                      static_cast<uint16_t>(cells[static_cast<size_t>(c)]));
    }
}

void TeachFixture::SetModes(int calculationMode, int evaluationMode, int powerMode) {
    app::P().sensor.model.SetValue(params::kCalculationMode,
                                   static_cast<uint16_t>(calculationMode));
    app::P().sensor.model.SetValue(params::kEvaluationMode, static_cast<uint16_t>(evaluationMode));
    app::P().sensor.model.SetValue(params::kPowerMode, static_cast<uint16_t>(powerMode));
}

void TeachFixture::RunLoop(const std::function<void()>& start, const std::function<bool()>& during,
                           double limitSeconds) {
    const double t0 = platform::Timer();
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (app::P().sensor.link.AcquisitionRunning != 1) {
            return; // the loop has not begun yet
        }
        if (during() || platform::Timer() - t0 > limitSeconds) {
            poll.stop();
            app::P().sensor.link.AcquisitionRunning = 0;
        }
    });
    poll.start();
    start();
    poll.stop();
}
