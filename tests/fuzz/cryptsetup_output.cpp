#include <cstdint>
#include <string>

#include "daemon/linux/LuksDumpText.h"
#include "daemon/linux/LuksProgressLine.h"

// What the daemon reads from cryptsetup: progress lines and the header dump.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    if (auto line = harbormind::LuksProgressLine::parse(text)) {
        if (line->done > line->total) {
            __builtin_trap();
        }
    }
    harbormind::LuksDumpText::needsResume(text);
    harbormind::LuksDumpText::keySlots(text);
    return 0;
}
