#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "daemon/DaemonBusServer.h"
#include "daemon/DaemonGuard.h"
#include "daemon/SyntaxOnlyDeviceCheck.h"
#include "testsupport/PrivateBusTest.h"
#include "xpc/XPCTransport.h"
#include "xpc/dbus/DBusXPCTransport.h"

namespace harbormind::test {

// Decides by a switch the test sets.
class SwitchAuthorizer final : public DaemonAuthorizer {
public:
    bool authorize(const CallerIdentity& caller, DaemonAction action) override {
        lastUid = caller.uid;
        lastAction = action;
        return allowed;
    }
    bool allowed = true;
    std::uint32_t lastUid = 12345;
    DaemonAction lastAction = DaemonAction::query;
};

// A private bus, the daemon's bus server in this process with a backend of the test's, and
// the application's wrappers reaching it through the real bus transport.
class DaemonBusFixture : public PrivateBusTest {
protected:
    void SetUp() override {
        PrivateBusTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        XPCTransport::setCurrent(std::make_shared<DBusXPCTransport>());
    }
    void TearDown() override {
        XPCTransport::setCurrent(nullptr);
        server.reset();
        bus.reset();
    }

    void serve(std::shared_ptr<DaemonBackend> backend,
               std::shared_ptr<DeviceArgumentCheck> devices = std::make_shared<SyntaxOnlyDeviceCheck>()) {
        auto guard = std::make_shared<DaemonGuard>(authorizer, std::move(devices));
        server = std::make_unique<DaemonBusServer>(sdbus::createSystemBusConnection(), std::move(backend), guard,
                                                   "9.9.9");
        std::string error;
        ASSERT_TRUE(server->start(error)) << error;
    }

    std::shared_ptr<SwitchAuthorizer> authorizer = std::make_shared<SwitchAuthorizer>();
    std::unique_ptr<DaemonBusServer> server;
};

}  // namespace harbormind::test
