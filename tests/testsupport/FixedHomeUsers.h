#pragma once

#include <optional>
#include <string>

#include "platform/UserDatabase.h"

namespace harbormind::test {

// The user database of a user "u" whose home is a folder of the test.
class FixedHomeUsers final : public UserDatabase {
public:
    explicit FixedHomeUsers(std::string home) : home_(std::move(home)) {}
    std::optional<std::string> currentUserHome() override { return home_; }
    std::optional<std::string> currentUserName() override { return "u"; }
    std::string processHome() override { return home_; }
    std::optional<std::string> environment(const std::string&) override { return std::nullopt; }

private:
    std::string home_;
};

}  // namespace harbormind::test
