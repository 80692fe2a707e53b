#pragma once

#include <functional>
#include <optional>

namespace harbormind {

// The colour scheme the desktop prefers, as its settings service announces it.
class DesktopAppearance {
public:
    enum class Scheme { noPreference, dark, light };
    // Gets the desktop's preference, or none when no settings service answers.
    using Listener = std::function<void(std::optional<Scheme>)>;

    virtual ~DesktopAppearance() = default;

    // Asks for the current preference and hears every later change: `listener` gets the answer
    // and then each change, on a thread of the implementation's. A second call replaces the
    // listener and asks again.
    virtual void watch(Listener listener) = 0;
    // No more reports after this returns.
    virtual void stopWatching() = 0;
};

}  // namespace harbormind
