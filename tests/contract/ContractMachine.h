#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace harbormind::test {

// One side of the daemon contract: a machine with disks and a daemon serving the application's
// wrappers through XPCTransport::current() while it lives. The simulated side is what the
// window tests use (the simulated platform and the in-process daemon); the real side is
// drivemanagerd on a private bus with loop devices.
class ContractMachine {
public:
    virtual ~ContractMachine() = default;

    // A disk of `megabytes` carrying an ext4 file system on its whole: its kernel name.
    virtual std::string addDisk(std::int64_t megabytes) = 0;
    // Mounts the disk's file system (root's own mount, not one for a user).
    virtual void mount(const std::string& name) = 0;
};

}  // namespace harbormind::test
