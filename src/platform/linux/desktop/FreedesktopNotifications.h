#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/Notifications.h"

namespace sdbus {
class IConnection;
class IProxy;
}  // namespace sdbus

namespace harbormind {

// Notifications through org.freedesktop.Notifications on the session bus. The server numbers
// each notification; this keeps our identifier per number, asks for the "default" action
// (a click on the notification) and reports it when ActionInvoked names one of ours; any other
// action key goes to the action handler. The bus is connected on the first post.
class FreedesktopNotifications final : public Notifications {
public:
    explicit FreedesktopNotifications(std::string applicationName);
    ~FreedesktopNotifications() override;

    bool post(const std::string& identifier, const std::string& title, const std::string& text) override;
    void remove(const std::string& identifier) override;
    void setActivationHandler(Activation handler) override;
    bool postWithActions(const std::string& identifier, const std::string& title, const std::string& text,
                         const std::vector<std::pair<std::string, std::string>>& actions) override;
    void setActionHandler(ActionChoice handler) override;

    // Ends the bus thread that hears of clicks, and waits for it; posting still works. For
    // the end of the program, so the thread is gone before static objects are destroyed.
    void stopListening();

private:
    bool connect();
    // Notify with `actions` as the server takes them: key, label, key, label...
    bool notify(const std::string& identifier, const std::string& title, const std::string& text,
                const std::vector<std::string>& actions);
    void actionInvoked(std::uint32_t serverId, const std::string& actionKey);

    std::string applicationName_;
    std::mutex mutex_;
    Activation handler_;
    ActionChoice actionHandler_;
    std::unique_ptr<sdbus::IConnection> connection_;
    std::unique_ptr<sdbus::IProxy> proxy_;
    std::map<std::uint32_t, std::string> identifiers_;
    bool listening_ = true;
};

}  // namespace harbormind
