#include <set>

#include "daemon/DaemonBusFixture.h"
#include "daemon/DaemonMethodTable.h"
#include "daemon/SimDaemonBackend.h"
#include "testsupport/InterfaceXmlDocument.h"
#include "xpc/XPCServiceName.h"
#include "xpc/dbus/DBusNames.h"

namespace harbormind {
namespace {

using test::InterfaceXmlDocument;
using Interfaces = InterfaceXmlDocument::Interfaces;

const std::string daemonInterface = "com.Kestrane.drivemanagerd.Daemon";

// The files of the interfaces the daemon serves (the callbacks' are the applications').
Interfaces daemonInterfaceFiles() {
    Interfaces files = InterfaceXmlDocument::interfaceFiles();
    std::erase_if(files, [](const auto& entry) { return entry.first.ends_with(".App"); });
    return files;
}

TEST(DaemonInterfaceFilesTest, TheMethodTableIsWhatTheInterfaceFilesDescribe) {
    Interfaces files = daemonInterfaceFiles();
    std::set<std::string> expected{daemonInterface};
    expected.insert(XPCServiceName::all.begin(), XPCServiceName::all.end());
    std::set<std::string> described;
    for (const auto& [interface, methods] : files) {
        described.insert(interface);
    }
    EXPECT_EQ(described, expected);

    files.erase(daemonInterface);
    Interfaces table;
    for (const auto& method : DaemonMethodTable::all()) {
        table[DBusNames::interfaceName(method.serviceName)][method.name] = {method.input, method.output};
    }
    auto lines = InterfaceXmlDocument::differences(files, table);
    EXPECT_TRUE(lines.empty()) << InterfaceXmlDocument::joined(lines);
}

TEST(DaemonInterfaceFilesTest, TheComparisonSeesAMissingAnExtraAndAChangedMethod) {
    Interfaces described = InterfaceXmlDocument::read(R"(<node><interface name="i">
        <method name="kept"><arg type="s" direction="in"/><arg type="x" direction="out"/></method>
        <method name="typed"><arg name="n" direction="in" type="x"/></method>
        <method name="gone"/>
        <signal name="later"><arg type="s"/></signal></interface></node>)");
    Interfaces served{{"i", {{"kept", {"s", "x"}}, {"typed", {"s", ""}}, {"added", {"", "b"}}}}};
    EXPECT_EQ(InterfaceXmlDocument::differences(described, served),
              (std::vector<std::string>{"i gone: described, not served", "i typed: described x->, served s->",
                                        "i added: served, not described"}));
}

using DaemonInterfaceBusTest = test::DaemonBusFixture;

// What a client sees on the bus: each object's introspection names exactly the methods of
// its file, the daemon's own object included.
TEST_F(DaemonInterfaceBusTest, EveryObjectOffersWhatItsFileDescribes) {
    serve(std::make_shared<SimDaemonBackend>(std::make_shared<InProcessDaemon>(PlatformValue::Dictionary{})));
    auto connection = sdbus::createSystemBusConnection();
    auto introspect = [&](const std::string& serviceName, const std::string& path) {
        auto proxy = sdbus::createProxy(*connection, serviceName, path);
        std::string document;
        proxy->callMethod("Introspect").onInterface("org.freedesktop.DBus.Introspectable").storeResultsTo(document);
        return InterfaceXmlDocument::read(document);
    };
    Interfaces served;
    for (const char* serviceName : XPCServiceName::all) {
        served[serviceName] = introspect(serviceName, DBusNames::objectPath(serviceName))[serviceName];
    }
    served[daemonInterface] = introspect(XPCServiceName::mount, DBusNames::daemonObjectPath)[daemonInterface];
    auto lines = InterfaceXmlDocument::differences(daemonInterfaceFiles(), served);
    EXPECT_TRUE(lines.empty()) << InterfaceXmlDocument::joined(lines);
}

}  // namespace
}  // namespace harbormind
