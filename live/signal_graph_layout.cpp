#include "live/live_ui.h"

#include <QDialog>

namespace live {

void BuildSignalGraphPanel(QWidget* panel, SignalGraphPanel* ui) {
    (void)ui;
    (void)panel;
}

void BuildBigPanel(QWidget* panel, BigPanel* ui, const QString& caption) {
    (void)ui;
    (void)panel;
    (void)caption;
}

} // namespace live
