#include "scope/scope_ui.h"

#include <QDialog>

namespace scope {

void BuildScopePage(QWidget* page, ScopePage* ui) {
    (void)ui;
    (void)page;
}

void BuildScopePanel(QWidget* panel, ScopePanel* ui) {
    (void)ui;
    (void)panel;
}

} // namespace scope
