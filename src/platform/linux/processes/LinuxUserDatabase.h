#pragma once

#include "platform/UserDatabase.h"

namespace harbormind {

// The account of the process's real user from the password database (getpwuid_r), and the
// home the process sees from HOME.
class LinuxUserDatabase final : public UserDatabase {
public:
    std::optional<std::string> currentUserHome() override;
    std::optional<std::string> currentUserName() override;
    // HOME when it is set and not empty; otherwise the account's home; otherwise "/".
    std::string processHome() override;
    std::optional<std::string> environment(const std::string& name) override;
};

}  // namespace harbormind
