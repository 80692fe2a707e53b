#pragma once

namespace harbormind {

// SIGTERM, SIGINT and SIGHUP, taken synchronously: blocked before any thread starts (so every
// thread inherits the mask), then awaited by the main thread.
class TerminationSignal {
public:
    static void block();
    // Blocks until one of them arrives; answers its number.
    static int wait();
    // Sends SIGTERM to this process, so wait() returns (the bus went away, say).
    static void raise();
};

}  // namespace harbormind
