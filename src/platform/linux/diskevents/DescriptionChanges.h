#pragma once

#include <string>
#include <vector>

#include "platform/DiskDescription.h"

namespace harbormind {

// What tells two descriptions of one disk apart, as sessions hear of it.
class DescriptionChanges {
public:
    // The keys added, removed or changed, in order; the appearance time is no change.
    static std::vector<std::string> keys(const DiskDescription& before, const DiskDescription& after);
};

}  // namespace harbormind
