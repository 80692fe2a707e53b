#pragma once

namespace harbormind {

// Told after the lists were re-read because the lists file changed.
class USBDiskListDelegate {
public:
    virtual ~USBDiskListDelegate() = default;
    virtual void diskListDidChange() = 0;
};

}  // namespace harbormind
