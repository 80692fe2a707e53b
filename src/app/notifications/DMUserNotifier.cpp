#include "app/notifications/DMUserNotifier.h"

#include <QUuid>

#include "platform/Notifications.h"
#include "platform/Platform.h"

namespace harbormind {

DMUserNotifier& DMUserNotifier::shared() {
    static DMUserNotifier notifier(Platform::current().notifications());
    return notifier;
}

DMUserNotifier::DMUserNotifier(Notifications* center) : notificationCenter_(center) {
    if (notificationCenter_ != nullptr) {
        notificationCenter_->setActivationHandler(
            [this](const std::string& identifier) { userNotificationCenterDidActivateNotification(identifier); });
    }
}

void DMUserNotifier::setDelegate(std::weak_ptr<DMUserNotifierDelegate> delegate) {
    std::lock_guard<std::mutex> guard(mutex_);
    delegate_ = std::move(delegate);
}

std::optional<std::string> DMUserNotifier::post(const std::string& title, const std::string& informativeText,
                                                std::optional<UserInfo> userInfo) {
    if (notificationCenter_ == nullptr) {
        return std::nullopt;
    }
    const std::string identifier = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toStdString();
    {
        std::lock_guard<std::mutex> guard(mutex_);
        delivered_[identifier] = std::move(userInfo);
    }
    if (!notificationCenter_->post(identifier, title, informativeText)) {
        std::lock_guard<std::mutex> guard(mutex_);
        delivered_.erase(identifier);
        return std::nullopt;
    }
    return identifier;
}

void DMUserNotifier::userNotificationCenterDidActivateNotification(const std::string& identifier) {
    std::optional<UserInfo> userInfo;
    std::shared_ptr<DMUserNotifierDelegate> delegate;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        auto found = delivered_.find(identifier);
        if (found == delivered_.end()) {
            return;
        }
        userInfo = found->second;
        delivered_.erase(found);
        delegate = delegate_.lock();
    }
    if (delegate) {
        delegate->didActivateNotification(userInfo);
    }
    notificationCenter_->remove(identifier);
}

}  // namespace harbormind
