#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "daemon/linux/NtfsMountRequest.h"
#include "platform/linux/mounting/MountFolder.h"

namespace harbormind {

// Mounts an NTFS volume read-write with the driver this machine has (ntfs-3g when installed,
// else the kernel's ntfs3), never with set-user-id programs or device nodes honoured. A volume
// Windows hibernated, or did not shut down cleanly, is mounted read-only unless its
// hibernation file is to be removed. Answers an NtfsMountResult code.
class NtfsMounter {
public:
    // `procRoot` is "/proc" except in tests.
    explicit NtfsMounter(std::string procRoot = "/proc");

    std::optional<NtfsDriver> driver() const;
    std::int64_t mount(const NtfsMountRequest& request, const MountFolder& target) const;

    // ntfs-3g's program, when installed.
    static std::optional<std::string> ntfs3gProgram();

private:
    std::int64_t mountWithNtfs3g(const NtfsMountRequest& request, const MountFolder& target) const;
    std::int64_t mountWithKernel(const NtfsMountRequest& request, const MountFolder& target) const;

    std::string procRoot_;
};

}  // namespace harbormind
