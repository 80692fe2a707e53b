#pragma once

#include <sys/types.h>

namespace harbormind {

// What a child of the daemon does between fork and exec: only async-signal-safe calls, since
// the daemon has other threads whose locks the child's copy may hold.
class CryptsetupChild {
public:
    enum class WithParent { keepsRunning, stops };

    // Becomes the program: its standard streams the given descriptors, every other descriptor
    // closed, a known environment. With `stops`, it receives SIGTERM when its parent dies.
    [[noreturn]] static void exec(char* const* argv, int in, int out, int err, WithParent withParent);

    // Runs a reencryption as its own child and ends as that child ended (its status, or
    // killed by its signal). A SIGTERM to the guard, or the death of `daemon`, stops the
    // reencryption: the guard sends it SIGTERM, and again every second until it has ended.
    [[noreturn]] static void guard(char* const* argv, int in, int out, int err, pid_t daemon);
};

}  // namespace harbormind
