// Starting and ending the application object with its windows: the part
// of the run-time that needs Qt Widgets. It installs the real popup windows
// and the hourglass into the run-time below it.
#include "platform/popups.h"
#include "platform/runtime.h"

#include <QApplication>
#include <QCursor>

namespace platform {
namespace {

QApplication* gApp = nullptr;

void WaitCursor(int on) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return;
    }
    if (on) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else if (QApplication::overrideCursor() != nullptr) {
        QApplication::restoreOverrideCursor();
    }
}

} // namespace

bool InitRuntime(int& argc, char** argv) {
    SetWaitCursorHandler(WaitCursor);
    SetPopupWindows(PopupWindowFunctions());
    if (QCoreApplication::instance() != nullptr) {
        return true;
    }
    // The application keeps a reference to its argument count, so both live
    // as long as the process.
    static int appArgc = 0;
    static char** appArgv = nullptr;
    appArgc = argc;
    appArgv = argv;
    gApp = new QApplication(appArgc, appArgv);
    return true;
}

void ShutdownRuntime() {
    // Deleted here rather than by a static destructor: at process exit Qt's
    // own globals may already be gone.
    delete gApp;
    gApp = nullptr;
}

} // namespace platform
