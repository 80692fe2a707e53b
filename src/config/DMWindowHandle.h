#pragma once

namespace harbormind {

// One of the application's windows, as the configuration hands it back after a Dock-icon
// switch. The shell's handle must tolerate a window that closed meanwhile.
class DMWindowHandle {
public:
    virtual ~DMWindowHandle() = default;
    virtual void makeKeyAndOrderFront() = 0;
};

}  // namespace harbormind
