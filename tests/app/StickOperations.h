#pragma once

#include <string>
#include <vector>

#include "app/drives/DMDriveOperations.h"

namespace harbormind::test {

// Drive work on a local exFAT stick named STICK, where every step succeeds and does nothing.
// Tests override the steps they watch.
class StickOperations : public DMDriveOperations {
public:
    bool isLocalDrive(const Drive&) override { return true; }
    DMDriveObjectFilesystem fileSystem(const Drive&) override { return DMDriveObjectFilesystem::exfat; }
    std::string name(const Drive&) override { return "STICK"; }
    int open(const Drive&) override { return 0; }
    int mount(const Drive&) override { return 0; }
    DMOperationResult unmount(const Drive&, DMUnmountOption) override { return {0, {}}; }
    DMOperationResult eject(const Drive&) override { return {0, {}}; }
    int lock(const Drive&) override { return 0; }
    int accessMode(const Drive&) override { return 1; }
    bool hasHibernationFile(const Drive&) override { return false; }
    void setIgnoreHibernateFile(bool) override {}
    std::vector<Drive> externalRootDrives() override { return {}; }
    bool isDriverInstalled() override { return true; }
    bool canInstallDriver() override { return false; }
    void installDriver() override {}
    bool ignoreHibernationFileWhenMountingNtfsDrives() override { return false; }
    void openURL(const std::string&) override {}
};

}  // namespace harbormind::test
