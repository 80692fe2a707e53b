#pragma once

#include <optional>
#include <string>

#include "daemon/linux/NtfsMountRequest.h"

namespace harbormind {

// Which read-write NTFS driver a mount uses and the option line it is given, decided from
// facts alone so that both drivers' lines hold on a machine that has only one of them.
class NtfsDriverChoice {
public:
    // ntfs-3g where installed (it checks the hibernation file and the clean-shutdown flag
    // itself), else the kernel's ntfs3, else none.
    static std::optional<NtfsDriver> choose(bool ntfs3gInstalled, bool kernelHasNtfs3);
    // ntfs-3g: its whole -o argument. ntfs3: the mount data only; read-only, nosuid and nodev
    // go to the kernel as mount flags, and it knows no remove_hiberfile (the daemon removes the
    // file itself once the volume is writable).
    static std::string options(NtfsDriver driver, const NtfsMountRequest& request, bool readOnly);
};

}  // namespace harbormind
