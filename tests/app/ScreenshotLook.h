#pragma once

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

#include "app/shell/DMDarkPalette.h"
#include "app/shell/DMDarkStyle.h"

namespace harbormind::test {

// The look the application gives its windows, light or dark, for pictures of them: the dark
// look is the application's own style and palette, not a palette on the light style. The light
// look comes back when this goes.
class ScreenshotLook {
public:
    ScreenshotLook() {
        QApplication::setStyle(QStyleFactory::create("Fusion"));
        light_ = QApplication::palette();
    }
    ~ScreenshotLook() { use(false); }
    ScreenshotLook(const ScreenshotLook&) = delete;
    ScreenshotLook& operator=(const ScreenshotLook&) = delete;

    void use(bool dark) {
        QApplication::setStyle(dark ? new DMDarkStyle : QStyleFactory::create("Fusion"));
        QApplication::setPalette(dark ? DMDarkPalette::make() : light_);
    }

private:
    QPalette light_;
};

}  // namespace harbormind::test
