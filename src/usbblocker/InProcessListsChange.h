#pragma once

namespace harbormind {

class InProcessUSBWarden;

// Lets the simulated daemon change the current platform's lists file as the real daemon
// changes its own: each change is made and read back by the lists editor.
class InProcessListsChange {
public:
    static void bind(InProcessUSBWarden& warden);
};

}  // namespace harbormind
