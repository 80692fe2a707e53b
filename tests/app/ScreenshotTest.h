#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>
#include <QWidget>

#include <cstdlib>
#include <string>

#include "AppTestSupport.h"
#include "app/shell/DMDarkPalette.h"
#include "app/shell/DMDarkStyle.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind::test {

// Pictures of windows for docs/screenshots, made when HARBORMIND_SCREENSHOT_DIR names a folder
// (skipped otherwise), each in the light palette and a dark one. A fixture that sets up more
// calls this SetUp first and returns when IsSkipped().
class ScreenshotTest : public VirtualClockTest {
protected:
    void SetUp() override {
        const char* dir = std::getenv("HARBORMIND_SCREENSHOT_DIR");
        if (dir == nullptr) {
            GTEST_SKIP() << "HARBORMIND_SCREENSHOT_DIR is not set";
        }
        folder = dir;
        VirtualClockTest::SetUp();
        ensureApplication();
        QApplication::setStyle(QStyleFactory::create("Fusion"));
        lightPalette = QApplication::palette();
    }
    void TearDown() override {
        if (!folder.empty()) {
            QApplication::setPalette(lightPalette);
            VirtualClockTest::TearDown();
        }
    }

    virtual QPalette darkPalette() const { return DMDarkPalette::make(); }

    // Saves `widget` as <name>.png and <name>-dark.png once the main queue's work is done.
    void save(QWidget& widget, const std::string& name) {
        for (bool dark : {false, true}) {
            // Each look with the style the window gives it.
            QApplication::setStyle(dark ? new DMDarkStyle : QStyleFactory::create("Fusion"));
            QApplication::setPalette(dark ? darkPalette() : lightPalette);
            Dispatch::main().runUntil([] { return false; }, seconds(0));
            QApplication::processEvents();
            const std::string file = folder + "/" + name + (dark ? "-dark" : "") + ".png";
            ASSERT_TRUE(widget.grab().save(QString::fromStdString(file))) << file;
        }
        QApplication::setStyle(QStyleFactory::create("Fusion"));
        QApplication::setPalette(lightPalette);
    }

    std::string folder;
    QPalette lightPalette;
};

}  // namespace harbormind::test
