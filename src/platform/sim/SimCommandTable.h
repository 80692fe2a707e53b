#pragma once

#include "platform/CommandTable.h"

namespace harbormind {

// The volume-tool command lines as the drive operations run them on the simulated machine.
class SimCommandTable final : public CommandTable {
public:
    // The volume tool that newer systems ship inside the application: the CoreStorage
    // conversion names it by its full path instead of the system's own.
    void setBundledVolumeTool(std::optional<std::string> path) { bundledVolumeTool_ = std::move(path); }
    std::string encryptAPFSVolume(const std::string& bsdName, const std::string& passphrase) override;
    std::string convertToCoreStorage(const std::string& bsdName, const std::string& passphrase) override;
    std::string listAPFSContainer(const std::string& wholeDisk) override;
    std::string ejectDisk(const std::string& bsdName) override;
    std::string lockVolume(const std::string& bsdName) override;
    std::string unlockVolume(const std::string& bsdName, const std::string& passphrase) override;
    std::string listCoreStorage() override;
    std::string loadUSBBlockerAgent() override;
    std::string unloadUSBBlockerAgent() override;
    std::string unlockCoreStorageVolume(const std::string& logicalVolume, const std::string& passphrase) override;

private:
    std::optional<std::string> bundledVolumeTool_;
};

}  // namespace harbormind
