#pragma once

#include "platform/JunkLocations.h"

namespace harbormind {

// The junk table of the original platform, place for place: the simulated platform shows the
// same categories, paths, order and texts.
class SimJunkLocations : public JunkLocations {
public:
    std::vector<JunkCategory> categories(const std::string& home) override;
    std::string containersFolder(const std::string& home) override;
};

}  // namespace harbormind
