#pragma once

namespace harbormind {

// The bus a drive is attached through.
enum class DMDriveObjectInterfaceType {
    unknown,
    pci,
    usb,
    thunderbolt,
    firewire,
    sas,
    sata,
    dmg,
};

}  // namespace harbormind
