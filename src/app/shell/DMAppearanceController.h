#pragma once

#include <QPalette>
#include <QString>

#include <memory>
#include <optional>

#include "config/DMAppearance.h"
#include "platform/DesktopAppearance.h"

namespace harbormind {

// Gives the window the look chosen in the preferences: light, dark, or what the desktop's
// colour scheme says, followed while the application runs. The desktop's answers come from its
// settings service on another thread and are taken on the main queue. Where no service answers,
// or it states no preference, "system" looks light. Used on the main thread only.
class DMAppearanceController {
public:
    // `desktop` may be null: a platform without a desktop settings service.
    explicit DMAppearanceController(DesktopAppearance* desktop);
    ~DMAppearanceController();
    DMAppearanceController(const DMAppearanceController&) = delete;
    DMAppearanceController& operator=(const DMAppearanceController&) = delete;

    // Keeps the application's current style and palette as the light look, applies `chosen`
    // and starts following the desktop.
    void start(DMAppearance chosen);
    void choose(DMAppearance chosen);

    bool isDark() const { return dark_; }

private:
    void desktopChanged(std::optional<DesktopAppearance::Scheme> scheme);
    void apply();

    DesktopAppearance* desktop_;
    DMAppearance chosen_ = DMAppearance::system;
    std::optional<DesktopAppearance::Scheme> desktopScheme_;
    bool dark_ = false;
    QString lightStyle_;
    QPalette lightPalette_;
    // Answers queued for the main thread find it gone once this is destroyed.
    std::shared_ptr<DMAppearanceController*> self_;
};

}  // namespace harbormind
