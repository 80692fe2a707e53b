#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace harbormind {

// The desktop's notifications: a title, a text and our own identifier per notification, and
// the user's click on one of them.
class Notifications {
public:
    // Called on any thread with the identifier of the notification the user activated.
    using Activation = std::function<void(const std::string& identifier)>;

    virtual ~Notifications() = default;

    // False when no notification service took it (the desktop has none, or refused it).
    virtual bool post(const std::string& identifier, const std::string& title, const std::string& text) = 0;
    // Takes a delivered notification away; unknown identifiers are ignored.
    virtual void remove(const std::string& identifier) = 0;
    virtual void setActivationHandler(Activation handler) = 0;

    // A notification with buttons (`actions`: each a key and its label), for a question asked
    // where no window can be shown. Called on any thread with our identifier and the key of
    // the button pressed. A platform whose notifications have no buttons answers false.
    using ActionChoice = std::function<void(const std::string& identifier, const std::string& actionKey)>;
    virtual bool postWithActions(const std::string& /*identifier*/, const std::string& /*title*/,
                                 const std::string& /*text*/,
                                 const std::vector<std::pair<std::string, std::string>>& /*actions*/) {
        return false;
    }
    virtual void setActionHandler(ActionChoice /*handler*/) {}
};

}  // namespace harbormind
