#include <gtest/gtest.h>

#include <sdbus-c++/sdbus-c++.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/linux/desktop/PortalDesktopAppearance.h"
#include "testsupport/PrivateBusTest.h"

// The desktop's colour scheme from a stand-in for the desktop portal on a private bus: the
// first answer, the changes that follow, and "none" wherever the portal gives no usable answer.
namespace harbormind {
namespace {

using Scheme = DesktopAppearance::Scheme;

constexpr const char* settings = "org.freedesktop.portal.Settings";

// The portal's Settings interface, answering Read for the colour scheme as the portal does (the
// number wrapped in two variants) or with what the test puts in.
class FakePortal {
public:
    explicit FakePortal(const std::string& address) {
        connection_ = sdbus::createSessionBusConnectionWithAddress(address);
        object_ = sdbus::createObject(*connection_, "/org/freedesktop/portal/desktop");
        object_->registerMethod(settings, "Read", "ss", "v", [this](sdbus::MethodCall call) { read(call); });
        object_->registerSignal(settings, "SettingChanged", "ssv");
        object_->finishRegistration();
        connection_->requestName("org.freedesktop.portal.Desktop");
        connection_->enterEventLoopAsync();
    }
    ~FakePortal() { connection_->leaveEventLoop(); }

    void change(const std::string& space, const std::string& key, sdbus::Variant value) {
        object_->emitSignal("SettingChanged").onInterface(settings).withArguments(space, key, value);
    }

    std::mutex mutex;
    sdbus::Variant answer{sdbus::Variant(std::uint32_t{1})};
    bool fails = false;

private:
    void read(sdbus::MethodCall& call) {
        std::string space, key;
        call >> space >> key;
        std::lock_guard lock(mutex);
        if (fails || space != "org.freedesktop.appearance" || key != "color-scheme") {
            throw sdbus::Error("org.freedesktop.portal.Error.NotFound", "no such setting");
        }
        auto reply = call.createReply();
        reply << answer;
        reply.send();
    }

    std::unique_ptr<sdbus::IConnection> connection_;
    std::unique_ptr<sdbus::IObject> object_;
};

class PortalDesktopAppearanceTest : public test::PrivateBusTest {
protected:
    void watch(PortalDesktopAppearance& appearance) {
        appearance.watch([this](std::optional<Scheme> scheme) {
            std::lock_guard lock(mutex);
            heard.push_back(scheme);
            changed.notify_all();
        });
    }
    // The reports come from the bus thread; waits (bounded, in real time) for the count.
    std::vector<std::optional<Scheme>> waitForReports(std::size_t count) {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, std::chrono::seconds(5), [&] { return heard.size() >= count; });
        return heard;
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::optional<Scheme>> heard;
};

TEST_F(PortalDesktopAppearanceTest, ReadsTheSchemeAndFollowsItsChangesOnly) {
    FakePortal portal(bus->address());
    ASSERT_TRUE(bus->waitForName("org.freedesktop.portal.Desktop"));
    PortalDesktopAppearance appearance(bus->address());
    watch(appearance);
    ASSERT_EQ(waitForReports(1), (std::vector<std::optional<Scheme>>{Scheme::dark}));

    portal.change("org.freedesktop.appearance", "accent-color", sdbus::Variant(std::uint32_t{1}));
    portal.change("org.gnome.desktop.interface", "color-scheme", sdbus::Variant(std::uint32_t{1}));
    portal.change("org.freedesktop.appearance", "color-scheme", sdbus::Variant(std::uint32_t{2}));
    portal.change("org.freedesktop.appearance", "color-scheme", sdbus::Variant(std::uint32_t{0}));
    portal.change("org.freedesktop.appearance", "color-scheme", sdbus::Variant(std::uint32_t{7}));
    EXPECT_EQ(waitForReports(4), (std::vector<std::optional<Scheme>>{Scheme::dark, Scheme::light, Scheme::noPreference,
                                                                     Scheme::noPreference}))
        << "other settings are not the colour scheme; an unknown number states no preference";
}

TEST_F(PortalDesktopAppearanceTest, NoPortalAnErrorOrAnotherTypeOfValueIsNoAnswer) {
    {
        PortalDesktopAppearance appearance(bus->address());
        watch(appearance);
        EXPECT_EQ(waitForReports(1), (std::vector<std::optional<Scheme>>{std::nullopt})) << "nobody owns the portal";
    }
    FakePortal portal(bus->address());
    ASSERT_TRUE(bus->waitForName("org.freedesktop.portal.Desktop"));
    {
        std::lock_guard lock(portal.mutex);
        portal.fails = true;
    }
    PortalDesktopAppearance failing(bus->address());
    watch(failing);
    EXPECT_EQ(waitForReports(2).back(), std::nullopt) << "the portal has no such setting";
    {
        std::lock_guard lock(portal.mutex);
        portal.fails = false;
        portal.answer = sdbus::Variant(sdbus::Variant(std::string("dark")));
    }
    PortalDesktopAppearance wrongType(bus->address());
    watch(wrongType);
    EXPECT_EQ(waitForReports(3).back(), std::nullopt) << "a text is not a colour scheme";
    {
        std::lock_guard lock(portal.mutex);
        portal.answer = sdbus::Variant(std::uint32_t{2});
    }
    PortalDesktopAppearance unwrapped(bus->address());
    watch(unwrapped);
    EXPECT_EQ(waitForReports(4).back(), Scheme::light) << "a portal that wraps the number once is understood too";
}

TEST_F(PortalDesktopAppearanceTest, NoBusIsNoAnswer) {
    PortalDesktopAppearance appearance("unix:path=" + bus->folder() + "/nobody-listens-here");
    watch(appearance);
    EXPECT_EQ(waitForReports(1), (std::vector<std::optional<Scheme>>{std::nullopt}));
}

}  // namespace
}  // namespace harbormind
