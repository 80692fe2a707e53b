#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "agent/USBAgentQuestion.h"
#include "platform/Notifications.h"

namespace harbormind {

// Asks about a disk through a desktop notification with "Allow" and "Block" buttons, where no
// window can be shown (the agent started before the desktop's display, or without one). The
// disk stays refused until "Allow" is pressed: without a notification service it is refused
// at once, and a notification dismissed without a button leaves it refused.
class USBAgentNotificationQuestion final : public USBAgentQuestion,
                                           public std::enable_shared_from_this<USBAgentNotificationQuestion> {
public:
    static constexpr const char* allowKey = "allow";
    static constexpr const char* blockKey = "block";

    // Made this way so the notifications' button presses reach it only while it lives.
    static std::shared_ptr<USBAgentNotificationQuestion> create(Notifications& notifications);

    void ask(const std::string& bsdName, const std::string& diskName, std::function<void(bool allow)> answer) override;

private:
    explicit USBAgentNotificationQuestion(Notifications& notifications) : notifications_(notifications) {}
    void chosen(const std::string& identifier, const std::string& actionKey);

    Notifications& notifications_;
    std::mutex mutex_;
    std::map<std::string, std::function<void(bool allow)>> pending_;
};

}  // namespace harbormind
