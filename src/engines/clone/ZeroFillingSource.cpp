#include "engines/clone/ZeroFillingSource.h"

#include <algorithm>
#include <cstring>

namespace harbormind::clone {

CloneIoResult ZeroFillingSource::readAt(std::uint64_t offset, std::byte* buffer, std::size_t length) {
    CloneIoResult whole = source_.readAt(offset, buffer, length);
    if (whole.status != CloneIoStatus::failed) {
        return whole;
    }
    const std::size_t sector = sectorSize();
    for (std::size_t done = 0; done < length; done += sector) {
        const std::size_t one = std::min(sector, length - done);
        CloneIoResult read = source_.readAt(offset + done, buffer + done, one);
        if (read.status == CloneIoStatus::gone) {
            return read;
        }
        if (read.status == CloneIoStatus::failed) {
            std::memset(buffer + done, 0, one);
            unreadable_ += one;
        }
    }
    return {};
}

}  // namespace harbormind::clone
