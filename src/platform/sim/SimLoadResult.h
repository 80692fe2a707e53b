#pragma once

#include <memory>
#include <string>

namespace harbormind {

class SimPlatform;

// A simulated platform, or the reason a scenario could not be read.
struct SimLoadResult {
    std::shared_ptr<SimPlatform> platform;
    std::string error;

    explicit operator bool() const { return platform != nullptr; }
};

}  // namespace harbormind
