#include <gtest/gtest.h>

#include <sdbus-c++/sdbus-c++.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "app/notifications/DMNotifyManager.h"
#include "app/notifications/DMUserNotifier.h"
#include "config/DMConfigurationManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "network/DMNetworkDriveObject.h"
#include "platform/Notifications.h"
#include "platform/linux/desktop/FreedesktopNotifications.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimSettingsStore.h"
#include "testsupport/PrivateBusTest.h"

namespace harbormind {
namespace {

// The desktop's notification service, reduced to a list of what arrived.
class RecordingCenter final : public Notifications {
public:
    bool post(const std::string& identifier, const std::string& title, const std::string& text) override {
        posted.push_back({identifier, title, text});
        return true;
    }
    void remove(const std::string& identifier) override { removed.push_back(identifier); }
    void setActivationHandler(Activation handler) override { activate = std::move(handler); }

    struct Posted {
        std::string identifier, title, text;
    };
    std::vector<Posted> posted;
    std::vector<std::string> removed;
    Activation activate;
};

class RecordingDelegate final : public DMUserNotifierDelegate {
public:
    void didActivateNotification(const std::optional<UserInfo>& userInfo) override {
        std::lock_guard lock(mutex);
        activations.push_back(userInfo);
        changed.notify_all();
    }
    bool waitForActivation() {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(5), [&] { return !activations.empty(); });
    }
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::optional<UserInfo>> activations;
};

class NotifyManagerTest : public testing::Test {
protected:
    NotifyManagerTest() {
        Platform::setCurrent(SimPlatform::empty());
        local = DMLocalDriveObject::create("sdb1");
        local->setName("ELEMENTS");
        network->setName("Team Share");
    }

    RecordingCenter center;
    DMUserNotifier notifier{&center};
    DMConfigurationManager configuration{"com.kestrane.harbormind", std::make_shared<SimSettingsStore>(), nullptr,
                                         nullptr};
    DMNotifyManager manager{notifier, configuration};
    std::shared_ptr<DMLocalDriveObject> local;
    std::shared_ptr<DMNetworkDriveObject> network = std::make_shared<DMNetworkDriveObject>();
};

TEST_F(NotifyManagerTest, AFreshInstallationTellsOfMountsAndUnmountsButNotOfDrivesComingAndGoing) {
    manager.notify(local, DMDriveEventKind::appeared);
    manager.notify(local, DMDriveEventKind::disappeared);
    EXPECT_TRUE(center.posted.empty());
    manager.notify(local, DMDriveEventKind::available);
    manager.notify(local, DMDriveEventKind::unavailable);
    manager.notify(network, DMDriveEventKind::available);
    manager.notify(network, DMDriveEventKind::unavailable);
    ASSERT_EQ(center.posted.size(), 4u);
    EXPECT_EQ(center.posted[0].title, "Drive mounted");
    EXPECT_EQ(center.posted[0].text, "\"" + local->name() + "\" was mounted.");
    EXPECT_EQ(center.posted[1].title, "Drive unmounted");
    EXPECT_EQ(center.posted[1].text, "\"" + local->name() + "\" was unmounted.");
    EXPECT_EQ(center.posted[2].title, "Network drive connected");
    EXPECT_EQ(center.posted[2].text, "The network drive \"Team Share\" was connected.");
    EXPECT_EQ(center.posted[3].title, "Network drive disconnected");
    // Every notification has an identifier of its own.
    EXPECT_NE(center.posted[0].identifier, center.posted[1].identifier);
    EXPECT_EQ(center.posted[0].identifier.size(), 36u);
}

TEST_F(NotifyManagerTest, ANetworkDriveThatAppearsIsAnnouncedAsConnectedNotAsAdded) {
    configuration.setNotifyWhenDrivesAppears(true);
    configuration.setNotifyWhenDrivesDisappears(true);
    manager.notify(network, DMDriveEventKind::appeared);
    manager.notify(local, DMDriveEventKind::appeared);
    manager.notify(network, DMDriveEventKind::disappeared);
    manager.notify(local, DMDriveEventKind::disappeared);
    ASSERT_EQ(center.posted.size(), 4u);
    EXPECT_EQ(center.posted[0].title, "Network drive connected");
    EXPECT_EQ(center.posted[1].title, "Drive added");
    EXPECT_EQ(center.posted[1].text, "\"" + local->name() + "\" was added.");
    EXPECT_EQ(center.posted[2].title, "Network drive disconnected");
    EXPECT_EQ(center.posted[3].title, "Drive removed");
}

TEST_F(NotifyManagerTest, SwitchedOffSettingsPostNothing) {
    configuration.setNotifyWhenConnectDrives(false);
    configuration.setNotifyWhenDisconnectDrives(false);
    manager.notify(local, DMDriveEventKind::available);
    manager.notify(network, DMDriveEventKind::unavailable);
    EXPECT_TRUE(center.posted.empty());
}

TEST_F(NotifyManagerTest, ActivationHandsTheUserInfoToTheDelegateOnceAndTakesTheNotificationAway) {
    auto delegate = std::make_shared<RecordingDelegate>();
    notifier.setDelegate(delegate);
    auto withInfo = notifier.post("Title", "Text", DMUserNotifier::UserInfo{{"drive", "sdb1"}});
    auto without = notifier.post("Title", "Text");
    ASSERT_TRUE(withInfo && without);
    center.activate(*withInfo);
    center.activate(*withInfo);
    center.activate(*without);
    center.activate("someone else's");
    ASSERT_EQ(delegate->activations.size(), 2u);
    EXPECT_EQ(delegate->activations[0]->at("drive"), "sdb1");
    EXPECT_FALSE(delegate->activations[1].has_value());
    EXPECT_EQ(center.removed, (std::vector<std::string>{*withInfo, *without}));
}

// A notification server on a private bus standing in for the session bus: it numbers what it
// is sent, records it, and can announce a click.
class FakeNotificationServer {
public:
    FakeNotificationServer() {
        connection_ = sdbus::createSessionBusConnection();
        object_ = sdbus::createObject(*connection_, "/org/freedesktop/Notifications");
        const char* interface = "org.freedesktop.Notifications";
        object_->registerMethod(interface, "Notify", "susssasa{sv}i", "u",
                                [this](sdbus::MethodCall call) { notify(call); });
        object_->registerMethod(interface, "CloseNotification", "u", "", [this](sdbus::MethodCall call) {
            std::uint32_t id = 0;
            call >> id;
            record("close " + std::to_string(id));
            call.createReply().send();
        });
        object_->registerSignal(interface, "ActionInvoked", "us");
        object_->finishRegistration();
        connection_->requestName(interface);
        connection_->enterEventLoopAsync();
    }
    ~FakeNotificationServer() { connection_->leaveEventLoop(); }

    void click(std::uint32_t id, const std::string& actionKey = "default") {
        object_->emitSignal("ActionInvoked").onInterface("org.freedesktop.Notifications").withArguments(id, actionKey);
    }
    std::vector<std::string> lastActions() {
        std::lock_guard lock(mutex_);
        return lastActions_;
    }
    std::vector<std::string> received() {
        std::lock_guard lock(mutex_);
        return received_;
    }
    bool waitFor(std::size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(5), [&] { return received_.size() >= count; });
    }

private:
    void notify(sdbus::MethodCall& call) {
        std::string application, icon, summary, body;
        std::uint32_t replaces = 0;
        std::vector<std::string> actions;
        std::map<std::string, sdbus::Variant> hints;
        std::int32_t timeout = 0;
        call >> application >> replaces >> icon >> summary >> body >> actions >> hints >> timeout;
        {
            std::lock_guard lock(mutex_);
            lastActions_ = actions;
        }
        record(application + " | " + summary + " | " + body + " | " + (actions.empty() ? "" : actions[0]));
        auto reply = call.createReply();
        reply << nextId_++;
        reply.send();
    }
    void record(const std::string& what) {
        std::lock_guard lock(mutex_);
        received_.push_back(what);
        changed_.notify_all();
    }

    std::unique_ptr<sdbus::IConnection> connection_;
    std::unique_ptr<sdbus::IObject> object_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> received_;
    std::vector<std::string> lastActions_;
    std::atomic<std::uint32_t> nextId_{41};
};

// A private bus standing in for the session bus while a test runs.
class FreedesktopNotificationsTest : public test::PrivateBusTest {
protected:
    void SetUp() override {
        PrivateBusTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        ::setenv("DBUS_SESSION_BUS_ADDRESS", bus->address().c_str(), 1);
    }
    void TearDown() override { ::unsetenv("DBUS_SESSION_BUS_ADDRESS"); }
};

TEST_F(FreedesktopNotificationsTest, PostsToTheSessionBusServerAndReportsAClickOnOurNotificationOnly) {
    {
        FakeNotificationServer server;
        ASSERT_TRUE(bus->waitForName("org.freedesktop.Notifications"));
        FreedesktopNotifications center("Kestrane Harbormind");
        DMUserNotifier notifier(&center);
        auto delegate = std::make_shared<RecordingDelegate>();
        notifier.setDelegate(delegate);

        auto identifier = notifier.post("Mount drive successfully.", "Drive: \"ELEMENTS\" has been mounted successfully.",
                                        DMUserNotifier::UserInfo{{"drive", "sdb1"}});
        ASSERT_TRUE(identifier.has_value());
        ASSERT_EQ(server.received().size(), 1u);
        EXPECT_EQ(server.received()[0], "Kestrane Harbormind | Mount drive successfully. | "
                                        "Drive: \"ELEMENTS\" has been mounted successfully. | default");
        server.click(7);  // not ours
        server.click(41);
        ASSERT_TRUE(delegate->waitForActivation());
        EXPECT_EQ(delegate->activations[0]->at("drive"), "sdb1");
        ASSERT_TRUE(server.waitFor(2));
        EXPECT_EQ(server.received()[1], "close 41");
        EXPECT_EQ(delegate->activations.size(), 1u);
    }
}

TEST_F(FreedesktopNotificationsTest, AQuestionOffersItsButtonsAndReportsThePressedOneOnce) {
    {
        FakeNotificationServer server;
        ASSERT_TRUE(bus->waitForName("org.freedesktop.Notifications"));
        FreedesktopNotifications center("Kestrane Harbormind");
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<std::string> pressed;
        center.setActionHandler([&](const std::string& identifier, const std::string& actionKey) {
            std::lock_guard lock(mutex);
            pressed.push_back(identifier + " " + actionKey);
            changed.notify_all();
        });
        ASSERT_TRUE(center.postWithActions("question-sdb", "USB Warden", "Allow it to mount?",
                                           {{"allow", "Allow"}, {"block", "Block"}}));
        EXPECT_EQ(server.lastActions(), (std::vector<std::string>{"allow", "Allow", "block", "Block"}));
        server.click(7, "allow");  // not ours
        server.click(41, "allow");
        server.click(41, "block");  // the question is answered already
        ASSERT_TRUE(center.post("later", "Title", "Text"));
        server.click(42);  // a click on a plain notification is no answer
        std::unique_lock lock(mutex);
        changed.wait_for(lock, std::chrono::seconds(5), [&] { return !pressed.empty(); });
        EXPECT_EQ(pressed, (std::vector<std::string>{"question-sdb allow"}));
    }
}

TEST_F(FreedesktopNotificationsTest, WithoutAServerAPostIsRefused) {
    FreedesktopNotifications center("Kestrane Harbormind");
    EXPECT_FALSE(center.post("id", "Title", "Text"));
}

}  // namespace
}  // namespace harbormind
