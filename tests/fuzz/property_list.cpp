// Settings files and other property lists, XML or binary, as the platform reads them from disk.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "platform/linux/settings/PropertyListFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int fd = ::memfd_create("fuzz-plist", MFD_CLOEXEC);
    if (fd < 0 || ::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) {
        return 0;
    }
    harbormind::PropertyListFile file("/proc/self/fd/" + std::to_string(fd));
    if (file.load() == harbormind::PropertyListFile::Status::Loaded) {
        for (const auto& key : file.keys()) {
            file.value(key);
        }
        file.xml();
    }
    return 0;
}
