#include "drivemodel/DMDiskAccess.h"

#include <mutex>

#include "platform/DiskArbitration.h"
#include "platform/Platform.h"

namespace harbormind {

std::shared_ptr<DiskArbitrationSession> DMDiskAccess::readingSession() {
    // One session per platform, without callbacks, shared by every read.
    static std::mutex mutex;
    static Platform* platform = nullptr;
    static auto* session = new std::shared_ptr<DiskArbitrationSession>();
    Platform& current = Platform::current();
    std::lock_guard lock(mutex);
    if (platform != &current || !*session) {
        *session = current.diskArbitration().createSession();
        platform = &current;
    }
    return *session;
}

std::optional<DMDiskAccess::OpenDisk> DMDiskAccess::open(const std::string& bsdName) {
    if (bsdName.empty()) {
        return std::nullopt;
    }
    std::shared_ptr<DiskArbitrationSession> session = readingSession();
    if (!session) {
        return std::nullopt;
    }
    std::optional<DADisk> disk = session->diskFromBSDName(bsdName);
    if (!disk) {
        return std::nullopt;
    }
    return OpenDisk{session, *disk};
}

std::optional<DiskDescription> DMDiskAccess::description(const std::string& bsdName) {
    auto opened = open(bsdName);
    if (!opened) {
        return std::nullopt;
    }
    return opened->session->copyDescription(opened->disk);
}

std::optional<RegistryEntryId> DMDiskAccess::ioMedia(const std::string& bsdName) {
    auto opened = open(bsdName);
    if (!opened) {
        return std::nullopt;
    }
    return opened->session->copyIOMedia(opened->disk);
}

}  // namespace harbormind
