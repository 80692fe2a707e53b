#include "app/common/DMMainQueueBridge.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <atomic>

#include "support/Dispatch.h"

namespace harbormind {
namespace {

// One queued drain call at a time is enough: it runs everything posted before it starts.
std::atomic<bool>& drainPending() {
    static std::atomic<bool> pending{false};
    return pending;
}

}  // namespace

void DMMainQueueBridge::install() {
    MainQueue& queue = Dispatch::main();
    queue.adoptCurrentThread();
    queue.setWakeHandler([] {
        QCoreApplication* app = QCoreApplication::instance();
        if (app == nullptr || drainPending().exchange(true)) {
            return;
        }
        QMetaObject::invokeMethod(
            app,
            [] {
                drainPending() = false;
                Dispatch::main().drain();
            },
            Qt::QueuedConnection);
    });
    // Work posted before the bridge existed runs on the first turn of the event loop.
    queue.async([] {});
}

void DMMainQueueBridge::uninstall() {
    Dispatch::main().setWakeHandler(nullptr);
}

}  // namespace harbormind
