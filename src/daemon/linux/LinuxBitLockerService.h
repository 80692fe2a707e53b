#pragma once

#include "daemon/RefusingBitLockerService.h"

namespace harbormind {

// The BitLocker service on Linux. Recognising a BitLocker volume is done here (libblkid
// reads its signature); unlocking, locking and encrypting are not built yet and refuse.
class LinuxBitLockerService final : public RefusingBitLockerService {
public:
    void isBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) override;
};

}  // namespace harbormind
