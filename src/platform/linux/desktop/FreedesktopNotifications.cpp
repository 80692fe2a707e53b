#include "platform/linux/desktop/FreedesktopNotifications.h"

#include <sdbus-c++/sdbus-c++.h>

#include <optional>
#include <vector>

#include "support/Log.h"

namespace harbormind {
namespace {

constexpr const char* serviceName = "org.freedesktop.Notifications";
constexpr const char* servicePath = "/org/freedesktop/Notifications";
constexpr const char* serviceInterface = "org.freedesktop.Notifications";
// The server's own choice of how long a notification stays.
constexpr std::int32_t serverTimeout = -1;

}  // namespace

FreedesktopNotifications::FreedesktopNotifications(std::string applicationName)
    : applicationName_(std::move(applicationName)) {}

FreedesktopNotifications::~FreedesktopNotifications() {
    if (connection_) {
        connection_->leaveEventLoop();
    }
    proxy_.reset();
    connection_.reset();
}

bool FreedesktopNotifications::connect() {
    if (proxy_) {
        return true;
    }
    try {
        connection_ = sdbus::createSessionBusConnection();
        proxy_ = sdbus::createProxy(*connection_, serviceName, servicePath);
        proxy_->uponSignal("ActionInvoked")
            .onInterface(serviceInterface)
            .call([this](std::uint32_t serverId, const std::string& actionKey) { actionInvoked(serverId, actionKey); });
        proxy_->finishRegistration();
        if (listening_) {
            connection_->enterEventLoopAsync();
        }
        return true;
    } catch (const sdbus::Error& error) {
        Log::info("Desktop notifications are not available: " + error.getMessage());
        proxy_.reset();
        connection_.reset();
        return false;
    }
}

void FreedesktopNotifications::stopListening() {
    sdbus::IConnection* connection = nullptr;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        listening_ = false;
        connection = connection_.get();
    }
    // Without the lock: a click being delivered takes it, and the thread is waited for.
    if (connection) {
        connection->leaveEventLoop();
    }
}

bool FreedesktopNotifications::post(const std::string& identifier, const std::string& title, const std::string& text) {
    return notify(identifier, title, text, {"default", title});
}

bool FreedesktopNotifications::postWithActions(const std::string& identifier, const std::string& title,
                                               const std::string& text,
                                               const std::vector<std::pair<std::string, std::string>>& actions) {
    std::vector<std::string> flat;
    for (const auto& [key, label] : actions) {
        flat.push_back(key);
        flat.push_back(label);
    }
    return notify(identifier, title, text, flat);
}

bool FreedesktopNotifications::notify(const std::string& identifier, const std::string& title,
                                      const std::string& text, const std::vector<std::string>& actions) {
    sdbus::IProxy* proxy = nullptr;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        if (!connect()) {
            return false;
        }
        proxy = proxy_.get();
    }
    // The call is made without our lock: the bus thread may meanwhile be delivering a button
    // press, which takes the lock, and the call's reply would wait behind it.
    try {
        std::uint32_t serverId = 0;
        proxy->callMethod("Notify")
            .onInterface(serviceInterface)
            .withArguments(applicationName_, std::uint32_t{0}, std::string("drive-harddisk"), title, text, actions,
                           std::map<std::string, sdbus::Variant>{}, serverTimeout)
            .storeResultsTo(serverId);
        std::lock_guard<std::mutex> guard(mutex_);
        identifiers_[serverId] = identifier;
        return true;
    } catch (const sdbus::Error& error) {
        Log::info("A desktop notification was not shown: " + error.getMessage());
        return false;
    }
}

void FreedesktopNotifications::remove(const std::string& identifier) {
    std::optional<std::uint32_t> serverId;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        for (auto entry = identifiers_.begin(); entry != identifiers_.end(); ++entry) {
            if (entry->second == identifier) {
                serverId = entry->first;
                identifiers_.erase(entry);
                break;
            }
        }
    }
    if (!serverId) {
        return;
    }
    try {
        proxy_->callMethod("CloseNotification").onInterface(serviceInterface).withArguments(*serverId).dontExpectReply();
    } catch (const sdbus::Error& error) {
        Log::debug("A notification could not be closed: " + error.getMessage());
    }
}

void FreedesktopNotifications::setActivationHandler(Activation handler) {
    std::lock_guard<std::mutex> guard(mutex_);
    handler_ = std::move(handler);
}

void FreedesktopNotifications::setActionHandler(ActionChoice handler) {
    std::lock_guard<std::mutex> guard(mutex_);
    actionHandler_ = std::move(handler);
}

void FreedesktopNotifications::actionInvoked(std::uint32_t serverId, const std::string& actionKey) {
    Activation handler;
    ActionChoice actionHandler;
    std::string identifier;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        auto found = identifiers_.find(serverId);
        // Other programs' notifications are announced on the same signal.
        if (found == identifiers_.end()) {
            return;
        }
        identifier = found->second;
        if (actionKey == "default") {
            handler = handler_;
        } else {
            actionHandler = actionHandler_;
            identifiers_.erase(found);
        }
    }
    if (handler) {
        handler(identifier);
    }
    if (actionHandler) {
        actionHandler(identifier, actionKey);
    }
}

}  // namespace harbormind
