#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOption>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "AppTestSupport.h"
#include "app/shell/DMAppearanceController.h"
#include "app/shell/DMDarkPalette.h"
#include "app/shell/DMDarkStyle.h"
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
    void watch(Listener onChange) override { listener = std::move(onChange); }
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
    auto* darkStyle = dynamic_cast<QProxyStyle*>(QApplication::style());
    ASSERT_NE(darkStyle, nullptr);
    EXPECT_EQ(darkStyle->baseStyle()->name(), "fusion");
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

// An unchecked box drawn by `style` on `palette`, on a field of the palette's base.
QImage uncheckedBox(const QStyle& style, const QPalette& palette) {
    QImage image(18, 18, QImage::Format_ARGB32);
    image.fill(palette.color(QPalette::Base));
    QStyleOptionButton option;
    option.rect = QRect(2, 2, 14, 14);
    option.palette = palette;
    option.state = QStyle::State_Enabled | QStyle::State_Off;
    QPainter painter(&image);
    style.drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter);
    return image;
}

// How far the lightest or darkest pixel of `image` stands from `base`, in grey levels.
int contrastWith(const QImage& image, const QColor& base) {
    int most = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            most = std::max(most, std::abs(qGray(image.pixel(x, y)) - qGray(base.rgb())));
        }
    }
    return most;
}

TEST_F(AppearanceTest, UncheckedBoxesStandOutOnTheDarkBaseAndTheLightLookIsFusionUnchanged) {
    DMDarkStyle dark;
    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    const QPalette darkPalette = DMDarkPalette::make();
    EXPECT_GE(contrastWith(uncheckedBox(dark, darkPalette), darkPalette.color(QPalette::Base)), 80)
        << "the outline of an unchecked box is lost in the dark base";
    const QPalette light = fusion->standardPalette();
    EXPECT_EQ(uncheckedBox(dark, light), uncheckedBox(*fusion, light));
}

}  // namespace
}  // namespace harbormind
