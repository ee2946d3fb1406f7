#include "platform/runtime.h"

#include "platform/tcp_client.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <chrono>

namespace platform {
namespace {

// Longest time ProcessSystemEvents sleeps when nothing is pending.
constexpr int kIdleWaitMs = 2;

bool gQuitRequested = false;
int gInsideProcessEvents = 0;
int gQuitCode = 0;
void (*gWaitCursor)(int on) = nullptr;
QCoreApplication* gCoreApp = nullptr;

QTimer* WakeTimer() {
    static QTimer* timer = [] {
        auto* t = new QTimer(QCoreApplication::instance());
        t->setSingleShot(true);
        t->setTimerType(Qt::PreciseTimer);
        return t;
    }();
    return timer;
}

} // namespace

bool InitCoreRuntime(int& argc, char** argv) {
    if (QCoreApplication::instance() != nullptr) {
        return true;
    }
    // The application keeps a reference to its argument count.
    static int appArgc = 0;
    appArgc = argc;
    gCoreApp = new QCoreApplication(appArgc, argv);
    return true;
}

void ShutdownCoreRuntime() {
    delete gCoreApp;
    gCoreApp = nullptr;
}

bool InsideProcessSystemEvents() {
    return gInsideProcessEvents > 0;
}

void ProcessSystemEvents() {
    ProcessSystemEventsFor(kIdleWaitMs);
}

void ProcessSystemEventsFor(int maxWaitMs) {
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    ++gInsideProcessEvents;
    // Handles whatever is pending; when nothing is, blocks until the next
    // event or the wake timer, whichever comes first.
    QTimer* wake = WakeTimer();
    wake->start(maxWaitMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    wake->stop();
    QCoreApplication::sendPostedEvents();
    // Bytes that a socket buffered without a fresh readyRead (for instance
    // while a callback was still running) are reported here.
    DispatchTcpEvents();
    --gInsideProcessEvents;
}

void WakeEventWait() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        if (QAbstractEventDispatcher* d = app->thread()->eventDispatcher()) {
            d->wakeUp();
        }
    }
}

void ProcessPendingEvents() {
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    ++gInsideProcessEvents;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents();
    DispatchTcpEvents();
    --gInsideProcessEvents;
}

double Timer() {
    using clock = std::chrono::steady_clock;
    static const clock::time_point start = clock::now();
    return std::chrono::duration<double>(clock::now() - start).count();
}

int RunUserInterface() {
    if (gQuitRequested) {
        return gQuitCode;
    }
    const int code = QCoreApplication::exec();
    return gQuitRequested ? gQuitCode : code;
}

void QuitUserInterface(int code) {
    gQuitRequested = true;
    gQuitCode = code;
    QCoreApplication::exit(code);
}

bool QuitRequested() {
    return gQuitRequested;
}

void ResetQuitRequest() {
    gQuitRequested = false;
    gQuitCode = 0;
}

void SetWaitCursor(int on) {
    if (gWaitCursor != nullptr) {
        gWaitCursor(on);
    }
}

void SetWaitCursorHandler(void (*handler)(int on)) {
    gWaitCursor = handler;
}

} // namespace platform
