#include "daemon/linux/NtfsDriverChoice.h"

namespace harbormind {

std::optional<NtfsDriver> NtfsDriverChoice::choose(bool ntfs3gInstalled, bool kernelHasNtfs3) {
    if (ntfs3gInstalled) {
        return NtfsDriver::ntfs3g;
    }
    if (kernelHasNtfs3) {
        return NtfsDriver::kernelNtfs3;
    }
    return std::nullopt;
}

std::string NtfsDriverChoice::options(NtfsDriver driver, const NtfsMountRequest& request, bool readOnly) {
    std::string owner = "uid=" + std::to_string(request.uid) + ",gid=" + std::to_string(request.gid) +
                        ",dmask=0077,fmask=0177";
    if (driver == NtfsDriver::kernelNtfs3) {
        return owner;
    }
    std::string line = std::string(readOnly ? "ro" : "rw") + ",nosuid,nodev," + owner;
    if (!readOnly && request.hibernation == HibernationFile::remove) {
        line += ",remove_hiberfile";
    }
    return line;
}

}  // namespace harbormind
