#pragma once

#include <optional>
#include <string>

namespace harbormind {

// Accounts as the system records them (not the environment).
class UserDatabase {
public:
    virtual ~UserDatabase() = default;
    // The home directory recorded for the process's real user id.
    virtual std::optional<std::string> currentUserHome() = 0;
    virtual std::optional<std::string> currentUserName() = 0;
    // The home folder as the process sees it (its environment).
    virtual std::string processHome() = 0;
    virtual std::optional<std::string> environment(const std::string& name) = 0;
};

}  // namespace harbormind
