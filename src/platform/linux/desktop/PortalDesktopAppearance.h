#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/DesktopAppearance.h"

namespace sdbus {
class IConnection;
class IProxy;
}  // namespace sdbus

namespace harbormind {

// The desktop's colour scheme from the desktop portal's settings on the session bus: the value
// "color-scheme" of "org.freedesktop.appearance", read once and then followed through the
// SettingChanged signal. Without a portal (no session bus, no such service, an error or a
// value of another type) the listener hears "none"; the window then looks light.
class PortalDesktopAppearance final : public DesktopAppearance {
public:
    // `busAddress` names a bus to use instead of the user's session bus (tests).
    explicit PortalDesktopAppearance(std::string busAddress = {});
    ~PortalDesktopAppearance() override;

    void watch(Listener listener) override;
    void stopWatching() override;

private:
    bool connect();
    void report(std::optional<Scheme> scheme);

    std::string busAddress_;
    std::mutex mutex_;
    Listener listener_;
    std::unique_ptr<sdbus::IConnection> connection_;
    std::unique_ptr<sdbus::IProxy> proxy_;
};

}  // namespace harbormind
