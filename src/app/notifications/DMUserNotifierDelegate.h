#pragma once

#include <map>
#include <optional>
#include <string>

namespace harbormind {

// Told when the user activates a notification.
class DMUserNotifierDelegate {
public:
    using UserInfo = std::map<std::string, std::string>;
    virtual ~DMUserNotifierDelegate() = default;
    // The notification's user info; absent when it carried none.
    virtual void didActivateNotification(const std::optional<UserInfo>& userInfo) = 0;
};

}  // namespace harbormind
