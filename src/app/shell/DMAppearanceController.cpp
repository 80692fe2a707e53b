#include "app/shell/DMAppearanceController.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

#include "app/shell/DMDarkPalette.h"
#include "app/shell/DMDarkStyle.h"
#include "support/Dispatch.h"

namespace harbormind {

DMAppearanceController::DMAppearanceController(DesktopAppearance* desktop)
    : desktop_(desktop), self_(std::make_shared<DMAppearanceController*>(this)) {}

DMAppearanceController::~DMAppearanceController() {
    if (desktop_ != nullptr) {
        desktop_->stopWatching();
    }
    *self_ = nullptr;
}

void DMAppearanceController::start(DMAppearance chosen) {
    lightStyle_ = QApplication::style()->name();
    lightPalette_ = QApplication::palette();
    chosen_ = chosen;
    apply();
    if (desktop_ != nullptr) {
        std::weak_ptr<DMAppearanceController*> weak = self_;
        desktop_->watch([weak](std::optional<DesktopAppearance::Scheme> scheme) {
            Dispatch::main().async([weak, scheme] {
                if (auto self = weak.lock(); self && *self != nullptr) {
                    (*self)->desktopChanged(scheme);
                }
            });
        });
    }
}

void DMAppearanceController::choose(DMAppearance chosen) {
    chosen_ = chosen;
    apply();
}

void DMAppearanceController::desktopChanged(std::optional<DesktopAppearance::Scheme> scheme) {
    desktopScheme_ = scheme;
    apply();
}

void DMAppearanceController::apply() {
    const bool dark = chosen_ == DMAppearance::dark ||
                      (chosen_ == DMAppearance::system && desktopScheme_ == DesktopAppearance::Scheme::dark);
    if (dark == dark_) {
        return;
    }
    dark_ = dark;
    // The dark colours are made for Fusion, which draws every part from the palette; the light
    // look is the style and palette the application started with.
    if (dark) {
        QApplication::setStyle(new DMDarkStyle);
    } else {
        QApplication::setStyle(QStyleFactory::create(lightStyle_));
    }
    QApplication::setPalette(dark ? DMDarkPalette::make() : lightPalette_);
}

}  // namespace harbormind
