// Controls of the data panel (live displays and colour-space graphs), the
// signal-graph panel and the two big display panels.
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;
namespace ctl {
class Graph;
class Led;
class ColorBox;
class NumDisplay;
class Ring;
} // namespace ctl

namespace live {

// Pages of the data panel's tab control.
enum DataPage : int { kDataPageRgb = 0, kDataPageInt = 1, kDataPage2D = 2, kDataPage3D = 3 };

struct RgbNumerics {
    ctl::NumDisplay* red = nullptr;
    ctl::NumDisplay* green = nullptr;
    ctl::NumDisplay* blue = nullptr;
};

struct DataPanel {
    QWidget* panel = nullptr;
    QLabel* status = nullptr;           // connection status indicator (text, tool-tip)
    QLabel* comPortIndicator = nullptr; // COM-port number
    QLabel* addressIndicator = nullptr; // server address
    RgbNumerics rgb;                    // RED GREEN BLUE of the panel itself
    QProgressBar* bar[3] = {};          // calibrated RED GREEN BLUE as bars
    QWidget* barsBox = nullptr;         // the bars with their caption
    ctl::NumDisplay* x = nullptr;
    ctl::NumDisplay* y = nullptr;
    ctl::NumDisplay* intensity = nullptr;
    QLabel* xLabel = nullptr;
    QLabel* yLabel = nullptr;
    QLabel* intLabel = nullptr;
    ctl::NumDisplay* deltaC = nullptr;
    QLabel* deltaCLabel = nullptr;
    ctl::NumDisplay* color = nullptr; // COLOR
    QLabel* colorLabel = nullptr;
    ctl::NumDisplay* group = nullptr; // GROUP
    QLabel* groupLabel = nullptr;
    ctl::Led* trigger = nullptr; // trigger LED
    QLabel* triggerLabel = nullptr;
    ctl::ColorBox* colorPatch = nullptr;
    ctl::Led* out[5] = {}; // OUT0..OUT4
    QLabel* outLabel[5] = {};
    QPushButton* showGraph = nullptr; // opens the signal-graph panel
    QTabWidget* tabs = nullptr;       // RGB, INT, 2D, 3D
    // RGB page
    RgbNumerics rgbPage;
    ctl::NumDisplay* extreme[6] =
        {}; // first RED, second RED, first GREEN, second GREEN, first BLUE, second BLUE
    ctl::Graph* rgbChart = nullptr;
    // INT page
    RgbNumerics intPage;
    ctl::Graph* intChart = nullptr;
    // 2D page
    RgbNumerics page2D;
    ctl::Graph* colorPlane = nullptr;
    ctl::Graph* intensityBar = nullptr;
    // 3D page
    ctl::Graph* view[3] = {}; // X/Y, X/INT, Y/INT
    QLabel* viewLabel[3] = {};
    ctl::Graph* rgbChart3D = nullptr;
};

struct SignalGraphPanel {
    QWidget* panel = nullptr;
    ctl::Ring* signal = nullptr;    // 0 RED .. 6 TEMP
    ctl::NumDisplay* value[7] = {}; // RED GREEN BLUE X Y INT TEMP
    QLabel* valueLabel[7] = {};
    ctl::Graph* graph[7] = {};
    QPushButton* close = nullptr;
};

// The big colour-number panel and the big group panel (separate windows).
struct BigPanel {
    QWidget* panel = nullptr;
    ctl::NumDisplay* value = nullptr;
    QLabel* id = nullptr; // sensor identification
};

void BuildDataPanel(QWidget* panel, DataPanel* ui);
void BuildSignalGraphPanel(QWidget* panel, SignalGraphPanel* ui);
void BuildBigPanel(QWidget* panel, BigPanel* ui, const QString& caption);

// The panels of this subsystem, owned by the window that builds them and
// given to the subsystem's views.
struct LivePanels {
    DataPanel data;
    SignalGraphPanel signalGraph;
    BigPanel colBig;
    BigPanel grpBig;
};

} // namespace live
