#pragma once

namespace harbormind {

// Drives the main dispatch queue from Qt's event loop: the GUI thread becomes the main
// thread, and work posted to the main queue from any thread wakes the event loop, which
// then runs every queued task.
class DMMainQueueBridge {
public:
    static void install();
    static void uninstall();
};

}  // namespace harbormind
