#include <gtest/gtest.h>

#include <QDialog>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>

#include "AppTestSupport.h"
#include "app/shell/DMWindowPlacement.h"

namespace harbormind {
namespace {

TEST(WindowPlacement, ACornerCentresOnTheWindowAndStaysOnTheScreen) {
    const QRect screen(0, 0, 1000, 800);
    EXPECT_EQ(DMWindowPlacement::centred({200, 100}, {100, 100, 600, 400}, screen), QPoint(300, 250));
    // A parent near the right edge and the bottom: the window moves back onto the screen.
    EXPECT_EQ(DMWindowPlacement::centred({400, 300}, {800, 650, 400, 300}, screen), QPoint(600, 500));
    // Half off the left: no further left than the screen.
    EXPECT_EQ(DMWindowPlacement::centred({400, 300}, {-500, 0, 400, 300}, screen), QPoint(0, 0));
    // Larger than the screen: its title bar stays on it.
    EXPECT_EQ(DMWindowPlacement::centred({1200, 900}, {0, 0, 1000, 800}, screen), QPoint(0, 0));
}

// A window without a parent opens over the main window; one with a parent over its parent;
// a window the user moved and shows again stays where it was put.
TEST(WindowPlacement, WindowsOpenCentredOnTheWindowTheyBelongTo) {
    test::ensureApplication();
    QMainWindow main;
    main.setGeometry(40, 40, 500, 400);
    main.show();
    auto placement = DMWindowPlacement::install([&main]() -> QWidget* { return &main; });
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();

    QMainWindow preferences;
    preferences.resize(200, 100);
    preferences.show();
    EXPECT_EQ(preferences.frameGeometry().topLeft(),
              DMWindowPlacement::centred(preferences.frameGeometry().size(), main.frameGeometry(), screen));

    QDialog sheet(&preferences);
    sheet.resize(120, 60);
    sheet.show();
    EXPECT_NEAR(sheet.frameGeometry().center().x(), preferences.frameGeometry().center().x(), 1);

    preferences.hide();
    preferences.move(5, 7);
    preferences.show();
    EXPECT_EQ(preferences.pos(), QPoint(5, 7));
}

}  // namespace
}  // namespace harbormind
