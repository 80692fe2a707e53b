#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "daemon/DaemonBusFixture.h"
#include "daemon/DaemonMethodTable.h"
#include "daemon/SimDaemonBackend.h"
#include "xpc/XPCServiceName.h"
#include "xpc/dbus/DBusNames.h"

namespace harbormind {
namespace {

// A method as an introspection document has it: its input and output signatures.
using Signatures = std::pair<std::string, std::string>;
// Interface name -> method name -> signatures.
using Interfaces = std::map<std::string, std::map<std::string, Signatures>>;

std::string attribute(const std::string& tag, const std::string& name) {
    std::smatch match;
    if (std::regex_search(tag, match, std::regex("\\b" + name + "=\"([^\"]*)\""))) {
        return match[1];
    }
    return {};
}

// Reads the interfaces, methods and arguments of an introspection document.
Interfaces readInterfaces(std::string document) {
    document = std::regex_replace(document, std::regex("<!--[\\s\\S]*?-->"), "");
    Interfaces interfaces;
    std::string interface;
    std::string method;
    const std::regex tag("<(interface|method|arg|signal|property)\\b([^>]*)>");
    for (auto it = std::sregex_iterator(document.begin(), document.end(), tag); it != std::sregex_iterator(); ++it) {
        const std::string kind = (*it)[1];
        const std::string attributes = (*it)[2];
        if (kind == "interface") {
            interface = attribute(attributes, "name");
            interfaces[interface];
        } else if (kind == "method") {
            method = attribute(attributes, "name");
            interfaces[interface][method];
        } else if (kind == "arg" && !method.empty()) {
            auto& [input, output] = interfaces[interface][method];
            (attribute(attributes, "direction") == "out" ? output : input) += attribute(attributes, "type");
        } else {
            method.clear();  // a signal's or property's arguments are no method's
        }
    }
    return interfaces;
}

const std::filesystem::path interfaceFolder = std::filesystem::path(HARBORMIND_TEST_SOURCE_DIR) / "src/xpc/dbus/interfaces";

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every interface file, each of which must describe the one interface it is named after.
Interfaces interfaceFiles() {
    Interfaces all;
    for (const auto& entry : std::filesystem::directory_iterator(interfaceFolder)) {
        Interfaces one = readInterfaces(readFile(entry.path()));
        EXPECT_EQ(one.size(), 1u) << entry.path();
        EXPECT_TRUE(one.count(entry.path().stem().string())) << entry.path() << " is not named after its interface";
        all.insert(one.begin(), one.end());
    }
    return all;
}

Interfaces methodTable() {
    Interfaces table;
    for (const auto& method : DaemonMethodTable::all()) {
        table[DBusNames::interfaceName(method.serviceName)][method.name] = {method.input, method.output};
    }
    return table;
}

// What differs between two descriptions, one line each, for a readable failure.
std::vector<std::string> differences(const Interfaces& described, const Interfaces& served) {
    std::vector<std::string> lines;
    for (const auto& [interface, methods] : described) {
        auto other = served.find(interface);
        for (const auto& [name, signatures] : methods) {
            if (other == served.end() || !other->second.count(name)) {
                lines.push_back(interface + " " + name + ": described, not served");
            } else if (other->second.at(name) != signatures) {
                const auto& [input, output] = other->second.at(name);
                lines.push_back(interface + " " + name + ": described " + signatures.first + "->" + signatures.second +
                                ", served " + input + "->" + output);
            }
        }
    }
    for (const auto& [interface, methods] : served) {
        for (const auto& [name, signatures] : methods) {
            if (!described.count(interface) || !described.at(interface).count(name)) {
                lines.push_back(interface + " " + name + ": served, not described");
            }
        }
    }
    return lines;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\n";
    }
    return text;
}

TEST(DaemonInterfaceFilesTest, TheMethodTableIsWhatTheInterfaceFilesDescribe) {
    Interfaces files = interfaceFiles();
    std::set<std::string> expected{"com.Kestrane.drivemanagerd.Daemon"};
    expected.insert(XPCServiceName::all.begin(), XPCServiceName::all.end());
    std::set<std::string> described;
    for (const auto& [interface, methods] : files) {
        described.insert(interface);
    }
    EXPECT_EQ(described, expected);

    files.erase("com.Kestrane.drivemanagerd.Daemon");
    auto lines = differences(files, methodTable());
    EXPECT_TRUE(lines.empty()) << joined(lines);
}

TEST(DaemonInterfaceFilesTest, TheComparisonSeesAMissingAnExtraAndAChangedMethod) {
    Interfaces described = readInterfaces(R"(<node><interface name="i">
        <method name="kept"><arg type="s" direction="in"/><arg type="x" direction="out"/></method>
        <method name="typed"><arg name="n" direction="in" type="x"/></method>
        <method name="gone"/>
        <signal name="later"><arg type="s"/></signal></interface></node>)");
    Interfaces served{{"i", {{"kept", {"s", "x"}}, {"typed", {"s", ""}}, {"added", {"", "b"}}}}};
    EXPECT_EQ(differences(described, served),
              (std::vector<std::string>{"i gone: described, not served", "i typed: described x->, served s->",
                                        "i added: served, not described"}));
}

using DaemonInterfaceBusTest = test::DaemonBusFixture;

// What a client sees on the bus: each object's introspection names exactly the methods of
// its file, the daemon's own object included.
TEST_F(DaemonInterfaceBusTest, EveryObjectOffersWhatItsFileDescribes) {
    serve(std::make_shared<SimDaemonBackend>(std::make_shared<InProcessDaemon>(PlatformValue::Dictionary{})));
    Interfaces files = interfaceFiles();
    auto connection = sdbus::createSystemBusConnection();
    auto introspect = [&](const std::string& serviceName, const std::string& path) {
        auto proxy = sdbus::createProxy(*connection, serviceName, path);
        std::string document;
        proxy->callMethod("Introspect").onInterface("org.freedesktop.DBus.Introspectable").storeResultsTo(document);
        return readInterfaces(document);
    };
    Interfaces served;
    for (const char* serviceName : XPCServiceName::all) {
        Interfaces one = introspect(serviceName, DBusNames::objectPath(serviceName));
        served[serviceName] = one[serviceName];
    }
    const std::string daemon = "com.Kestrane.drivemanagerd.Daemon";
    served[daemon] = introspect(XPCServiceName::mount, DBusNames::daemonObjectPath)[daemon];
    auto lines = differences(files, served);
    EXPECT_TRUE(lines.empty()) << joined(lines);
}

}  // namespace
}  // namespace harbormind
