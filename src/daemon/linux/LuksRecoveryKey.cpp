#include "daemon/linux/LuksRecoveryKey.h"

#include <sys/random.h>

#include <cstdint>

namespace harbormind {

std::string LuksRecoveryKey::generate() {
    std::string key;
    for (int group = 0; group < 8; ++group) {
        std::uint32_t value = 0;
        // Rejection keeps each group uniform over 0..999999.
        do {
            if (::getrandom(&value, sizeof value, 0) != static_cast<ssize_t>(sizeof value)) {
                return {};
            }
        } while (value >= 4294000000U);
        std::string digits = std::to_string(value % 1000000);
        key += (group ? "-" : "") + std::string(6 - digits.size(), '0') + digits;
    }
    return key;
}

}  // namespace harbormind
