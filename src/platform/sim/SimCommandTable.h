#pragma once

#include "platform/CommandTable.h"

namespace harbormind {

// The volume-tool command lines as the drive operations run them on the simulated machine.
class SimCommandTable final : public CommandTable {
public:
    std::string mountVolume(const std::string& bsdName) override;
    std::string ejectDisk(const std::string& bsdName) override;
    std::string lockVolume(const std::string& bsdName) override;
    std::string unlockVolume(const std::string& bsdName, const std::string& passphrase) override;
    std::string listCoreStorage() override;
    std::string unlockCoreStorageVolume(const std::string& logicalVolume, const std::string& passphrase) override;
};

}  // namespace harbormind
