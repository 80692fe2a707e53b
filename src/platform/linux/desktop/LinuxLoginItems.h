#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/LoginItems.h"

namespace harbormind {

// Login items as XDG autostart entries: IDENTIFIER.desktop in the user's autostart folder,
// which desktop sessions read at login. Switching an item writes its entry whole, with
// Hidden=true when it is off, so an entry of the same name elsewhere cannot start it either.
class LinuxLoginItems final : public LoginItems {
public:
    // `command` is the program and its arguments that the entry starts.
    LinuxLoginItems(std::string folder, std::string displayName, std::vector<std::string> command);

    // $XDG_CONFIG_HOME/autostart, or ~/.config/autostart.
    static std::string defaultFolder();

    std::optional<LoginItemState> state(const std::string& identifier) override;
    bool setState(const std::string& identifier, LoginItemState state) override;

    // The entry's file; empty for an identifier that cannot be a file name.
    std::string pathOf(const std::string& identifier) const;
    // The text of the entry this object writes.
    std::string entry(LoginItemState state) const;
    // The command as an Exec value: each argument quoted as autostart entries require.
    std::string execLine() const;

private:
    std::string folder_;
    std::string displayName_;
    std::vector<std::string> command_;
};

}  // namespace harbormind
