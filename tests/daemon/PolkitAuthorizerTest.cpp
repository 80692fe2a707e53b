#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <set>

#include "daemon/PolkitAuthorizer.h"
#include "testsupport/PrivateBusTest.h"
#include "xpc/dbus/DBusEventLoop.h"

namespace harbormind {
namespace {

using Subject = sdbus::Struct<std::string, std::map<std::string, sdbus::Variant>>;
using Result = sdbus::Struct<bool, bool, std::map<std::string, std::string>>;

// polkit's authority on the private bus: grants the actions the test names and records what
// it was asked.
class FakeAuthority {
public:
    explicit FakeAuthority(std::set<std::string> granted) : granted_(std::move(granted)) {
        connection_ = sdbus::createSystemBusConnection();
        object_ = sdbus::createObject(*connection_, "/org/freedesktop/PolicyKit1/Authority");
        object_->registerMethod("org.freedesktop.PolicyKit1.Authority", "CheckAuthorization", "(sa{sv})sa{ss}us",
                                "(bba{ss})", [this](sdbus::MethodCall call) { answer(call); });
        object_->finishRegistration();
        loop_ = std::make_unique<DBusEventLoop>(*connection_);
        loop_->start();
        connection_->requestName("org.freedesktop.PolicyKit1");
    }
    ~FakeAuthority() { loop_.reset(); }

    std::vector<std::string> asked() {
        std::lock_guard lock(mutex_);
        return asked_;
    }

private:
    void answer(sdbus::MethodCall& call) {
        Subject subject;
        std::string action;
        call >> subject >> action;
        std::string name = std::get<1>(subject).at("name").get<std::string>();
        {
            std::lock_guard lock(mutex_);
            asked_.push_back(std::get<0>(subject) + " " + name + " " + action);
        }
        auto reply = call.createReply();
        reply << Result(granted_.contains(action), false, {});
        reply.send();
    }

    std::set<std::string> granted_;
    std::unique_ptr<sdbus::IConnection> connection_;
    std::unique_ptr<sdbus::IObject> object_;
    std::unique_ptr<DBusEventLoop> loop_;
    std::mutex mutex_;
    std::vector<std::string> asked_;
};

// Stands in for the rules used without polkit.
class Fallback final : public DaemonAuthorizer {
public:
    bool authorize(const CallerIdentity&, DaemonAction) override {
        ++asked;
        return true;
    }
    int asked = 0;
};

class PolkitAuthorizerTest : public test::PrivateBusTest {
protected:
    void SetUp() override {
        PrivateBusTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        connection = sdbus::createSystemBusConnection();
        loop = std::make_unique<DBusEventLoop>(*connection);
        ASSERT_TRUE(loop->start());
    }
    void TearDown() override {
        loop.reset();
        connection.reset();
        bus.reset();
    }

    std::unique_ptr<sdbus::IConnection> connection;
    std::unique_ptr<DBusEventLoop> loop;
    std::shared_ptr<Fallback> fallback = std::make_shared<Fallback>();
};

TEST_F(PolkitAuthorizerTest, AsksPolkitAboutTheCallersBusNameForTheMethodsKind) {
    FakeAuthority authority({"com.kestrane.drivemanagerd.query", "com.kestrane.drivemanagerd.mount-removable"});
    PolkitAuthorizer authorizer(*connection, fallback);
    CallerIdentity caller{":1.42", 1000, 4242, {}};
    EXPECT_TRUE(authorizer.authorize(caller, DaemonAction::query));
    EXPECT_FALSE(authorizer.authorize(caller, DaemonAction::clone));
    EXPECT_TRUE(authorizer.authorize(caller, DaemonAction::mountRemovable));
    EXPECT_FALSE(authorizer.authorize(caller, DaemonAction::mountSystem));
    std::vector<std::string> expected{"system-bus-name :1.42 com.kestrane.drivemanagerd.query",
                                      "system-bus-name :1.42 com.kestrane.drivemanagerd.clone",
                                      "system-bus-name :1.42 com.kestrane.drivemanagerd.mount-removable",
                                      "system-bus-name :1.42 com.kestrane.drivemanagerd.mount-system"};
    EXPECT_EQ(authority.asked(), expected);
    // A method whose action depends on its device is never granted as such.
    EXPECT_FALSE(authorizer.authorize(caller, DaemonAction::perDevice));
    // Root is not asked about.
    EXPECT_TRUE(authorizer.authorize({":1.43", 0, 1, {}}, DaemonAction::encrypt));
    EXPECT_EQ(authority.asked().size(), expected.size());
    EXPECT_EQ(fallback->asked, 0);
}

TEST_F(PolkitAuthorizerTest, WithoutPolkitTheLocalRulesDecide) {
    PolkitAuthorizer authorizer(*connection, fallback);
    EXPECT_TRUE(authorizer.authorize({":1.42", 1000, 4242, {}}, DaemonAction::encrypt));
    EXPECT_EQ(fallback->asked, 1);
}

}  // namespace
}  // namespace harbormind
