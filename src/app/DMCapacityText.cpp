#include "app/DMCapacityText.h"

#include "support/DMByteCountFormatter.h"
#include "app/DMTexts.h"

namespace harbormind {

std::string DMCapacityText::size(const std::optional<std::int64_t>& bytes) {
    return bytes ? DMByteCountFormatter::string(*bytes) : std::string(DMTexts::unknownValue);
}

std::string DMCapacityText::usedAndAvailable(const std::optional<std::int64_t>& used,
                                             const std::optional<std::int64_t>& free) {
    return std::string(DMTexts::usedPrefix) + size(used) + ", " + DMTexts::availablePrefix + size(free);
}

}  // namespace harbormind
