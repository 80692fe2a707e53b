#include "testsupport/PrivateBus.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "testsupport/WholeFile.h"

namespace harbormind::test {
namespace {

namespace fs = std::filesystem;

std::string sourceDir() {
    const char* dir = std::getenv("HARBORMIND_SOURCE_DIR");
    return dir ? dir : HARBORMIND_TEST_SOURCE_DIR;
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

std::string userName() {
    struct passwd* user = ::getpwuid(::geteuid());
    return user ? user->pw_name : "root";
}

}  // namespace

std::unique_ptr<PrivateBus> PrivateBus::start(std::string& error, const std::string& policyFile) {
    std::unique_ptr<PrivateBus> bus(new PrivateBus());
    char pattern[] = "/tmp/harbormind-bus-XXXXXX";
    if (!::mkdtemp(pattern)) {
        error = "cannot make a folder";
        return nullptr;
    }
    bus->folder_ = pattern;
    ::chmod(pattern, 0755);
    std::string policy =
        readWholeFile(policyFile.empty() ? sourceDir() + "/resources/daemon/com.Kestrane.drivemanagerd.conf" : policyFile);
    if (::geteuid() != 0) {
        replaceAll(policy, "user=\"root\"", "user=\"" + userName() + "\"");
    }
    std::ofstream(bus->folder_ + "/policy.conf") << policy;
    std::string config = readWholeFile(sourceDir() + "/tests/testsupport/private-system-bus.conf");
    replaceAll(config, "@LISTEN@", "unix:path=" + bus->folder_ + "/bus");
    replaceAll(config, "@POLICY@", bus->folder_ + "/policy.conf");
    std::ofstream(bus->folder_ + "/bus.conf") << config;

    int out = -1;
    bus->daemon_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"dbus-daemon", "--config-file=" + bus->folder_ + "/bus.conf", "--nofork",
                                 "--print-address=1"},
        std::map<std::string, std::string>{}, &out);
    std::string address;
    char c = 0;
    while (out >= 0 && ::read(out, &c, 1) == 1 && c != '\n') {
        address += c;
    }
    if (out >= 0) {
        ::close(out);
    }
    if (address.empty()) {
        error = "dbus-daemon did not start";
        return nullptr;
    }
    bus->address_ = address;
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);
    return bus;
}

PrivateBus::~PrivateBus() {
    ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    daemon_.reset();
    std::error_code ignored;
    if (!folder_.empty()) {
        fs::remove_all(folder_, ignored);
    }
}

bool PrivateBus::waitForName(const std::string& name, bool owned) const {
    for (int attempt = 0; attempt < 500; ++attempt) {
        int out = -1;
        ChildProcess owner({"dbus-send", "--system", "--dest=org.freedesktop.DBus", "--print-reply",
                            "/org/freedesktop/DBus", "org.freedesktop.DBus.GetNameOwner", "string:" + name},
                           {{"DBUS_SYSTEM_BUS_ADDRESS", address_}}, &out);
        char buffer[256];
        while (::read(out, buffer, sizeof buffer) > 0) {
        }
        ::close(out);
        bool has = owner.waitExit(std::chrono::milliseconds(2000)) == 0;
        if (has == owned) {
            return true;
        }
        // Polling a real bus for a real process, with a bound.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

}  // namespace harbormind::test
