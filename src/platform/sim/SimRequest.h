#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/DADissenter.h"

namespace harbormind {

// One mount, unmount or eject request as a simulated machine received it, with its outcome.
struct SimRequest {
    enum class Kind { Mount, Unmount, Eject };
    enum class Origin { Session, Control, Command, Event };

    Kind kind = Kind::Mount;
    Origin origin = Origin::Session;
    std::string bsdName;
    std::optional<std::string> path;
    std::uint32_t options = 0;
    std::optional<DADissenter> dissenter;  // none: carried out
};

}  // namespace harbormind
