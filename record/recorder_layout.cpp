#include "record/recorder_ui.h"

#include <QDialog>

namespace record {

void BuildRecorderPage(QWidget* page, RecorderPage* ui) {
    (void)ui;
    (void)page;
}

} // namespace record
