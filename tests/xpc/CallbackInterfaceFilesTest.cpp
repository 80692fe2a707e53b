#include <gtest/gtest.h>

#include "testsupport/InterfaceXmlDocument.h"
#include "testsupport/PrivateBus.h"
#include "testsupport/TemporaryFolder.h"
#include "xpc/DMBitLockerAppProtocol.h"
#include "xpc/DMCheckDiskAppProtocol.h"
#include "xpc/DMDeviceCloneAppProtocol.h"
#include "xpc/XPCServiceName.h"
#include "xpc/dbus/DBusCallbackExport.h"
#include "xpc/dbus/DBusLink.h"
#include "xpc/dbus/DBusNames.h"

namespace harbormind {
namespace {

using test::InterfaceXmlDocument;

// Takes every callback of every service, so one object can be exported for each.
class EveryCallback final : public DMBitLockerAppProtocol, public DMDeviceCloneAppProtocol, public DMCheckDiskAppProtocol {
public:
    void updateProgressWithStatus(std::int64_t, std::int64_t, std::int64_t, std::int64_t, XPCIntReply reply) override {
        reply(0);
    }
    void continuedWithReply(XPCBoolReply reply) override { reply(true); }
    void updateUIWithChekcInfo(const std::string&, std::int64_t) override {}
};

// The daemon's bus policy, which lets nobody but the daemon's user call an application, and
// anyone ask an object what it offers.
std::string policyAllowingIntrospection(const test::TemporaryFolder& folder) {
    std::string policy =
        test::TemporaryFolder::read(std::string(HARBORMIND_TEST_SOURCE_DIR) + "/resources/daemon/com.Kestrane.drivemanagerd.conf");
    policy.replace(policy.rfind("</busconfig>"), std::string("</busconfig>").size(),
                   "<policy context=\"default\"><allow send_interface=\"org.freedesktop.DBus.Introspectable\"/>"
                   "</policy></busconfig>");
    test::TemporaryFolder::write(folder.file("policy.conf"), policy);
    return folder.file("policy.conf");
}

// The callback object an application exports for each service with callbacks offers exactly
// the methods of that service's callback interface file, and no file describes callbacks of
// a service that has none.
TEST(CallbackInterfaceFilesTest, EachExportedCallbackObjectOffersWhatItsFileDescribes) {
    test::TemporaryFolder folder;
    std::string error;
    auto bus = test::PrivateBus::start(error, policyAllowingIntrospection(folder));
    if (!bus) {
        GTEST_SKIP() << "no private bus: " << error;
    }
    auto callbacks = std::make_shared<EveryCallback>();
    std::shared_ptr<XPCInterface> exported = std::static_pointer_cast<DMCheckDiskAppProtocol>(callbacks);
    auto asker = sdbus::createSystemBusConnection();
    InterfaceXmlDocument::Interfaces described;
    InterfaceXmlDocument::Interfaces served;
    for (const std::string serviceName : {XPCServiceName::bitLocker, XPCServiceName::luks, XPCServiceName::deviceClone,
                                          XPCServiceName::checkDisk}) {
        auto link = DBusLink::open(error);
        ASSERT_TRUE(link) << error;
        ASSERT_TRUE(DBusCallbackExport::install(link, serviceName, exported)) << serviceName;
        auto proxy = sdbus::createProxy(*asker, link->connection().getUniqueName(), DBusNames::appObjectPath);
        std::string document;
        proxy->callMethod("Introspect").onInterface("org.freedesktop.DBus.Introspectable").storeResultsTo(document);
        const std::string interface = DBusNames::appInterfaceName(serviceName);
        served[interface] = InterfaceXmlDocument::read(document)[interface];
    }
    for (const auto& [interface, methods] : InterfaceXmlDocument::interfaceFiles()) {
        if (interface.ends_with(".App")) {
            described[interface] = methods;
        }
    }
    auto lines = InterfaceXmlDocument::differences(described, served);
    EXPECT_TRUE(lines.empty()) << InterfaceXmlDocument::joined(lines);
}

}  // namespace
}  // namespace harbormind
