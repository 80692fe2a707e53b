#include "app/common/DMMainQueueBridge.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <atomic>

#include "support/Dispatch.h"

namespace harbormind {
namespace {

// One queued drain call at a time is enough: it runs what was posted before it started, and
// posts itself again for what its turn left.
std::atomic<bool>& drainPending() {
    static std::atomic<bool> pending{false};
    return pending;
}

// How long one turn of the event loop runs queued work before it draws and reads input again.
constexpr Clock::Duration drainTurn = std::chrono::milliseconds(8);

void postDrain() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || drainPending().exchange(true)) {
        return;
    }
    QMetaObject::invokeMethod(
        app,
        [] {
            drainPending() = false;
            if (Dispatch::main().drainFor(drainTurn)) {
                postDrain();
            }
        },
        Qt::QueuedConnection);
}

}  // namespace

void DMMainQueueBridge::install() {
    MainQueue& queue = Dispatch::main();
    queue.adoptCurrentThread();
    queue.setWakeHandler([] { postDrain(); });
    // Work posted before the bridge existed runs on the first turn of the event loop.
    queue.async([] {});
}

void DMMainQueueBridge::uninstall() {
    Dispatch::main().setWakeHandler(nullptr);
}

}  // namespace harbormind
