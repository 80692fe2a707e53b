#pragma once

#include <optional>
#include <string>

namespace harbormind {

enum class LoginItemState { Enabled, Disabled };

// Programs the user's session starts at login, each known by an identifier.
class LoginItems {
public:
    virtual ~LoginItems() = default;

    // The state of the login item with this identifier; no value when the session knows no
    // such item.
    virtual std::optional<LoginItemState> state(const std::string& identifier) = 0;
    // Enables or disables the login item; false when the platform refused.
    virtual bool setState(const std::string& identifier, LoginItemState state) = 0;
};

}  // namespace harbormind
