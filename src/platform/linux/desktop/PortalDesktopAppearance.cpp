#include "platform/linux/desktop/PortalDesktopAppearance.h"

#include <sdbus-c++/sdbus-c++.h>

#include <cstdint>

#include "support/Log.h"

namespace harbormind {
namespace {

constexpr const char* portalName = "org.freedesktop.portal.Desktop";
constexpr const char* portalPath = "/org/freedesktop/portal/desktop";
constexpr const char* settingsInterface = "org.freedesktop.portal.Settings";
constexpr const char* appearanceNamespace = "org.freedesktop.appearance";
constexpr const char* colorSchemeKey = "color-scheme";

// The value is a number: 1 prefers dark, 2 light, anything else states no preference. Read's
// reply wraps it in one more variant than the signal does, so one wrapping is taken off.
std::optional<DesktopAppearance::Scheme> schemeOf(const sdbus::Variant& value, bool unwrap = true) {
    if (unwrap && value.containsValueOfType<sdbus::Variant>()) {
        return schemeOf(value.get<sdbus::Variant>(), false);
    }
    if (!value.containsValueOfType<std::uint32_t>()) {
        return std::nullopt;
    }
    switch (value.get<std::uint32_t>()) {
        case 1: return DesktopAppearance::Scheme::dark;
        case 2: return DesktopAppearance::Scheme::light;
        default: return DesktopAppearance::Scheme::noPreference;
    }
}

}  // namespace

PortalDesktopAppearance::PortalDesktopAppearance(std::string busAddress) : busAddress_(std::move(busAddress)) {}

PortalDesktopAppearance::~PortalDesktopAppearance() {
    stopWatching();
    if (connection_) {
        connection_->leaveEventLoop();
    }
    proxy_.reset();
    connection_.reset();
}

bool PortalDesktopAppearance::connect() {
    if (proxy_) {
        return true;
    }
    try {
        connection_ = busAddress_.empty() ? sdbus::createSessionBusConnection()
                                          : sdbus::createSessionBusConnectionWithAddress(busAddress_);
        proxy_ = sdbus::createProxy(*connection_, portalName, portalPath);
        proxy_->uponSignal("SettingChanged")
            .onInterface(settingsInterface)
            .call([this](const std::string& space, const std::string& key, const sdbus::Variant& value) {
                if (space == appearanceNamespace && key == colorSchemeKey) {
                    report(schemeOf(value, false));
                }
            });
        proxy_->finishRegistration();
        connection_->enterEventLoopAsync();
        return true;
    } catch (const sdbus::Error& error) {
        Log::info("The desktop's colour scheme is not available: " + error.getMessage());
        proxy_.reset();
        connection_.reset();
        return false;
    }
}

void PortalDesktopAppearance::watch(Listener listener) {
    sdbus::IProxy* proxy = nullptr;
    {
        std::lock_guard guard(mutex_);
        listener_ = std::move(listener);
        if (connect()) {
            proxy = proxy_.get();
        }
    }
    if (proxy == nullptr) {
        report(std::nullopt);
        return;
    }
    // Asked without waiting: a portal that is slow to start never holds up the window.
    try {
        proxy->callMethodAsync("Read")
            .onInterface(settingsInterface)
            .withArguments(std::string(appearanceNamespace), std::string(colorSchemeKey))
            .uponReplyInvoke([this](const sdbus::Error* error, const sdbus::Variant& value) {
                report(error == nullptr ? schemeOf(value) : std::nullopt);
            });
    } catch (const sdbus::Error& error) {
        Log::info("The desktop's colour scheme could not be asked for: " + error.getMessage());
        report(std::nullopt);
    }
}

void PortalDesktopAppearance::stopWatching() {
    std::lock_guard guard(mutex_);
    listener_ = nullptr;
}

void PortalDesktopAppearance::report(std::optional<Scheme> scheme) {
    // Held while the listener runs, so that none runs once stopWatching has returned.
    std::lock_guard guard(mutex_);
    if (listener_) {
        listener_(scheme);
    }
}

}  // namespace harbormind
