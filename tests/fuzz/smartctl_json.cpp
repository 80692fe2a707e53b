#include <cstdint>
#include <string>

#include "disktools/SmartctlReport.h"

// What the daemon hands over from smartctl: its JSON report of a drive's health.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    auto health = harbormind::SmartctlReport::parse(text);
    if ((health.reallocatedSectors && *health.reallocatedSectors < 0) ||
        (health.selfTestProgress && (*health.selfTestProgress < 0 || *health.selfTestProgress > 100))) {
        __builtin_trap();
    }
    return 0;
}
