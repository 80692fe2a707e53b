#include <cstdint>

#include "platform/linux/disks/UeventMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto message = harbormind::UeventMessage::parse(reinterpret_cast<const char*>(data), size);
    if (message) {
        message->isBlockDevice();
        message->deviceName();
    }
    return 0;
}
