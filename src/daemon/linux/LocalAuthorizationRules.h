#pragma once

#include <optional>
#include <string>

#include "daemon/DaemonAuthorizer.h"

namespace harbormind {

// Who may call where polkit is absent: root, the daemon's own user (the same user gains
// nothing by asking), and the members of the configured group.
class LocalAuthorizationRules final : public DaemonAuthorizer {
public:
    explicit LocalAuthorizationRules(std::optional<std::string> group);
    bool authorize(const CallerIdentity& caller, DaemonAction action) override;

private:
    bool inGroup(const CallerIdentity& caller) const;

    std::optional<std::string> group_;
};

}  // namespace harbormind
