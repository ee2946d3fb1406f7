// Controls of the teach table page (main tab page 3), the table-attributes
// page (page 6) and the two teach-assistant child panels.
#pragma once

#include <QWidget>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
namespace ctl {
class Graph;
class NumDisplay;
class Ring;
class U16Spin;
class U16Table;
class ColorField;
} // namespace ctl

namespace teach {

struct TeachPage {
    ctl::U16Spin* rowNo = nullptr; // No. field, 0..30 (TeachRowNo)
    QLabel* rowNoLabel = nullptr;
    QCheckBox* autoIncrement = nullptr; // auto-increment switch
    ctl::U16Table* grid = nullptr;      // 31 rows x 6 columns: cells 0..4, row colour
    QPushButton* teachDataTo = nullptr;
    QPushButton* resetTable = nullptr;
    QPushButton* teachMeanValues = nullptr;     // opens the mean-value teach panel
    QPushButton* teachRecordedValues = nullptr; // opens the graph teach panel
    // The grid's context menu, in this order:
    QMenu* gridMenu = nullptr;
    QAction* menuHelp = nullptr;
    QAction* menuSetSelection = nullptr;       // "Set selection to"
    QAction* menuIncrementSelection = nullptr; // "Increment selection with"
    QAction* menuResetSelection = nullptr;     // "Reset selection"
    QAction* menuTolOff = nullptr;             // "Teach tolerance off"
    QAction* menuTolOn = nullptr;              // "Teach tolerance on" (starts dimmed)
};

struct AttributesPage {
    ctl::Ring* colorMode = nullptr;   // 0 Manually, 1 Automatically
    ctl::U16Spin* row = nullptr;      // teach row 0..30
    ctl::ColorField* color = nullptr; // colour field
    QPushButton* setColor = nullptr;
    QPushButton* save = nullptr;
    QPushButton* load = nullptr;
    QPushButton* reset = nullptr;
    ctl::U16Table* table = nullptr;  // 31 rows: row description text, colour swatch
    ctl::NumDisplay* temp = nullptr; // sensor temperature
};

struct TeachMeanPanel {
    QWidget* panel = nullptr;
    ctl::NumDisplay* red = nullptr;
    ctl::NumDisplay* green = nullptr;
    ctl::NumDisplay* blue = nullptr;
    ctl::NumDisplay* counter = nullptr;
    ctl::U16Table* frames = nullptr; // 100 rows x 6: RED GREEN BLUE X Y INT
    ctl::U16Table* mean = nullptr;   // 1 row x 6
    ctl::NumDisplay* maxDeltaXY = nullptr;
    QLabel* maxDeltaXYLabel = nullptr; // "d (X/Y)" ...
    ctl::NumDisplay* maxDeltaInt = nullptr;
    QLabel* maxDeltaIntLabel = nullptr; // "d INT" / "d M"
    ctl::Ring* teachCtoWith = nullptr;  // first choice 0..3
    QLabel* teachCtoWithLabel = nullptr;
    ctl::U16Spin* valueCto = nullptr; // first value field
    QLabel* valueCtoLabel = nullptr;
    ctl::Ring* teachItoWith = nullptr; // second choice 0..3 (2D only)
    QLabel* teachItoWithLabel = nullptr;
    ctl::U16Spin* valueIto = nullptr; // second value field (2D only)
    QLabel* valueItoLabel = nullptr;
    QPushButton* capture = nullptr;
    QPushButton* undo = nullptr;
    QPushButton* reset = nullptr;
    QPushButton* teach = nullptr;
    QPushButton* close = nullptr;
};

struct TeachGraphPanel {
    QWidget* panel = nullptr;
    QPushButton* start = nullptr;
    QPushButton* reset = nullptr;
    QPushButton* teach = nullptr;
    QPushButton* close = nullptr;
    ctl::NumDisplay* counter = nullptr;
    ctl::NumDisplay* cursorValue[3] = {}; // X Y INT (or s i M) of the selected point
    QLabel* cursorLabel[3] = {};
    ctl::Graph* graph[3] = {}; // X/Y, X/INT, Y/INT
    QLabel* graphLabel[3] = {};
};

void BuildTeachPage(QWidget* page, TeachPage* ui);
void BuildAttributesPage(QWidget* page, AttributesPage* ui);
void BuildTeachMeanPanel(QWidget* panel, TeachMeanPanel* ui);
void BuildTeachGraphPanel(QWidget* panel, TeachGraphPanel* ui);

// The panels of this subsystem. The window owns them and gives them to the
// teach views.
struct TeachPanels {
    TeachPage teachPage;
    AttributesPage attributes;
    TeachMeanPanel teachMean;
    TeachGraphPanel teachGraph;
};

} // namespace teach
