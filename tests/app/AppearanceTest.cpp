#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>
#include <QStyle>

#include "AppTestSupport.h"
#include "app/shell/DMAppearanceController.h"
#include "app/shell/DMDarkPalette.h"
#include "support/Dispatch.h"
#include "testsupport/VirtualClockTest.h"

// The window's look: the choice in the preferences, and the desktop's colour scheme when the
// choice is "System".
namespace harbormind {
namespace {

using Scheme = DesktopAppearance::Scheme;

// A desktop whose settings service answers when the test says so, from the test's thread as a
// bus thread would.
class FakeDesktop final : public DesktopAppearance {
public:
    void watch(Listener listener) override { this->listener = std::move(listener); }
    void stopWatching() override { listener = nullptr; }
    void announce(std::optional<Scheme> scheme) {
        if (listener) {
            listener(scheme);
        }
    }
    Listener listener;
};

class AppearanceTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        test::ensureApplication();
        startStyle = QApplication::style()->name();
        startPalette = QApplication::palette();
    }
    void TearDown() override {
        controller.reset();
        QApplication::setStyle(startStyle);
        QApplication::setPalette(startPalette);
        VirtualClockTest::TearDown();
    }
    void announce(std::optional<Scheme> scheme) {
        desktop.announce(scheme);
        Dispatch::main().runUntil([] { return false; }, seconds(0));
    }
    static bool looksDark() {
        return QApplication::palette().color(QPalette::Window) == DMDarkPalette::make().color(QPalette::Window);
    }

    FakeDesktop desktop;
    std::unique_ptr<DMAppearanceController> controller;
    QString startStyle;
    QPalette startPalette;
};

TEST_F(AppearanceTest, SystemFollowsTheDesktopAndIsLightWithoutAnAnswer) {
    controller = std::make_unique<DMAppearanceController>(&desktop);
    controller->start(DMAppearance::system);
    EXPECT_FALSE(looksDark()) << "before the desktop answers";
    announce(Scheme::dark);
    EXPECT_TRUE(looksDark());
    EXPECT_EQ(QApplication::style()->name(), "fusion");
    announce(Scheme::light);
    EXPECT_FALSE(looksDark());
    EXPECT_EQ(QApplication::style()->name(), startStyle) << "light is the look the application started with";
    announce(Scheme::dark);
    announce(Scheme::noPreference);
    EXPECT_FALSE(looksDark());
    announce(Scheme::dark);
    announce(std::nullopt);
    EXPECT_FALSE(looksDark()) << "the settings service went away";
}

TEST_F(AppearanceTest, LightAndDarkHoldWhateverTheDesktopSaysUntilSystemIsChosen) {
    controller = std::make_unique<DMAppearanceController>(&desktop);
    controller->start(DMAppearance::dark);
    EXPECT_TRUE(looksDark());
    announce(Scheme::light);
    EXPECT_TRUE(looksDark());
    controller->choose(DMAppearance::light);
    EXPECT_FALSE(looksDark());
    announce(Scheme::dark);
    EXPECT_FALSE(looksDark());
    controller->choose(DMAppearance::system);
    EXPECT_TRUE(looksDark()) << "the desktop's last answer counts at once";
}

TEST_F(AppearanceTest, WithoutADesktopServiceSystemIsLightAndALateAnswerFindsNoController) {
    DMAppearanceController alone(nullptr);
    alone.start(DMAppearance::system);
    EXPECT_FALSE(alone.isDark());
    alone.choose(DMAppearance::dark);
    EXPECT_TRUE(alone.isDark());
    alone.choose(DMAppearance::system);
    EXPECT_FALSE(alone.isDark());

    controller = std::make_unique<DMAppearanceController>(&desktop);
    controller->start(DMAppearance::system);
    DesktopAppearance::Listener kept = desktop.listener;
    controller.reset();
    EXPECT_FALSE(desktop.listener) << "the controller stops watching when it goes";
    kept(Scheme::dark);
    Dispatch::main().runUntil([] { return false; }, seconds(0));
    EXPECT_FALSE(looksDark());
}

}  // namespace
}  // namespace harbormind
