#include "daemon/linux/LinuxBitLockerService.h"

#include "platform/linux/disks/BlkidProbe.h"

namespace harbormind {

void LinuxBitLockerService::isBitLockerDriveWithBsdname(const std::string& bsdname, XPCBoolReply reply) {
    VolumeFacts facts = BlkidProbe::probe("/dev/" + bsdname, ProbeTable::Skip);
    reply(facts.type == "BitLocker");
}

}  // namespace harbormind
