#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "app/notifications/DMUserNotifierDelegate.h"

namespace harbormind {

class Notifications;

// Posts desktop notifications, each under a fresh UUID, and passes the user's activation of
// one to the delegate with the notification's user info, then takes it away. Safe from any
// thread.
class DMUserNotifier {
public:
    using UserInfo = DMUserNotifierDelegate::UserInfo;

    // The one notifier of the process, on the current platform's notification service.
    static DMUserNotifier& shared();
    // `center` may be absent (a platform without notifications): posts then go nowhere.
    explicit DMUserNotifier(Notifications* center);

    void setDelegate(std::weak_ptr<DMUserNotifierDelegate> delegate);
    // Answers the identifier given to the notification, or nothing when it was not shown.
    std::optional<std::string> post(const std::string& title, const std::string& informativeText,
                                    std::optional<UserInfo> userInfo = std::nullopt);
    void userNotificationCenterDidActivateNotification(const std::string& identifier);

private:
    Notifications* notificationCenter_;
    std::mutex mutex_;
    std::weak_ptr<DMUserNotifierDelegate> delegate_;
    std::map<std::string, std::optional<UserInfo>> delivered_;
};

}  // namespace harbormind
