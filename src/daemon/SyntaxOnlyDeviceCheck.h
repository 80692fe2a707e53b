#pragma once

#include "daemon/DeviceArgumentCheck.h"

namespace harbormind {

// The simulated daemon's device check: its devices are a scenario's, not this machine's,
// so only the name's form is checked and the argument is used as given.
class SyntaxOnlyDeviceCheck final : public DeviceArgumentCheck {
public:
    std::optional<std::string> check(const std::string& argument, DeviceArgumentForm form, DeviceUse use) override;
};

}  // namespace harbormind
