#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "daemon/linux/CryptsetupRunner.h"
#include "daemon/linux/LuksCommandLines.h"
#include "xpc/XPCCodeAnswer.h"

namespace harbormind {

// Opening and closing LUKS and BitLocker volumes with cryptsetup, and finding the device
// that carries an open volume's contents (a device-mapper holder whose uuid says CRYPT-).
class EncryptedVolumeAccess {
public:
    static constexpr std::int64_t unlocked = 0;
    static constexpr std::int64_t failed = 1;
    static constexpr std::int64_t wrongKey = 2;
    static constexpr std::int64_t busy = 16;
    static constexpr std::int64_t noDeviceMapper = 19;

    struct Paths {
        std::string sysfsRoot = "/sys";
        std::string procRoot = "/proc";
    };

    EncryptedVolumeAccess(LuksCommandLines commands, std::function<std::shared_ptr<CryptsetupRunner>()> makeRunner,
                          Paths paths);

    // The open volume's device ("dm-3"), if the volume is open.
    std::optional<std::string> openAs(const std::string& name) const;
    // `type` is "luks" or "bitlk"; `header` the detached header or empty.
    XPCCodeAnswer unlock(const std::string& name, const std::string& type, const std::string& header,
                         const std::string& password, bool readOnly) const;
    XPCCodeAnswer lock(const std::string& name) const;

private:
    bool keyOpens(const std::string& name, const std::string& header, const std::string& password) const;

    LuksCommandLines commands_;
    std::function<std::shared_ptr<CryptsetupRunner>()> makeRunner_;
    Paths paths_;
};

}  // namespace harbormind
