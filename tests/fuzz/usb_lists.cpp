#include <cstdint>
#include <string_view>

#include "support/Utf8Text.h"
#include "usbblocker/USBListsFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using harbormind::USBListsFormat;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    USBListsFormat::parse(bytes);
    USBListsFormat::parseInteger(bytes);
    USBListsFormat::canStore(bytes);
    if (harbormind::Utf8Text::isValid(bytes)) {
        USBListsFormat::dropLastCharacters(bytes, size % 4);
    }
    return 0;
}
