#pragma once

#include <map>
#include <mutex>

#include "platform/UserDatabase.h"

namespace harbormind {

// The account and environment a scenario describes.
class SimUserDatabase final : public UserDatabase {
public:
    SimUserDatabase(std::optional<std::string> name, std::optional<std::string> home, std::string processHome,
                    std::map<std::string, std::string> environment)
        : name_(std::move(name)), home_(std::move(home)), processHome_(std::move(processHome)),
          environment_(std::move(environment)) {}

    std::optional<std::string> currentUserHome() override { return home_; }
    std::optional<std::string> currentUserName() override { return name_; }
    std::string processHome() override { return processHome_; }
    std::optional<std::string> environment(const std::string& name) override;
    void setEnvironment(const std::string& name, std::optional<std::string> value);

private:
    const std::optional<std::string> name_;
    const std::optional<std::string> home_;
    const std::string processHome_;
    std::mutex mutex_;
    std::map<std::string, std::string> environment_;
};

}  // namespace harbormind
