#include "app/details/DMCapacityText.h"

#include "app/common/DMTr.h"
#include "support/DMByteCountFormatter.h"
#include "app/common/DMTexts.h"

namespace harbormind {

std::string DMCapacityText::size(const std::optional<std::int64_t>& bytes) {
    return bytes ? DMByteCountFormatter::string(*bytes) : std::string(DMTr::text(DMTexts::unknownValue));
}

std::string DMCapacityText::usedAndAvailable(const std::optional<std::int64_t>& used,
                                             const std::optional<std::int64_t>& free) {
    return std::string(DMTr::text(DMTexts::usedPrefix)) + size(used) + ", " + DMTr::text(DMTexts::availablePrefix) + size(free);
}

}  // namespace harbormind
