#include <gtest/gtest.h>
#include <sdbus-c++/sdbus-c++.h>

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/linux/desktop/LinuxFileManagerItems.h"
#include "platform/linux/desktop/LinuxWorkspace.h"

namespace harbormind {
namespace {

// A session bus of the test's own, with a file manager on it that records what it was asked
// to show.
class PrivateSessionBus {
public:
    PrivateSessionBus() {
        FILE* output = ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r");
        if (output == nullptr) {
            return;
        }
        char line[512] = {};
        if (std::fgets(line, sizeof line, output) != nullptr) {
            address_ = line;
            address_.erase(address_.find_last_not_of("\n") + 1);
        }
        if (std::fgets(line, sizeof line, output) != nullptr) {
            pid_ = std::atoi(line);
        }
        ::pclose(output);
    }
    ~PrivateSessionBus() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
        }
    }
    bool started() const { return !address_.empty() && pid_ > 0; }
    const std::string& address() const { return address_; }

private:
    std::string address_;
    int pid_ = 0;
};

class FileManagerOnBus {
public:
    explicit FileManagerOnBus(const std::string& address) {
        connection_ = sdbus::createSessionBusConnectionWithAddress(address);
        connection_->requestName("org.freedesktop.FileManager1");
        object_ = sdbus::createObject(*connection_, "/org/freedesktop/FileManager1");
        object_->registerMethod("ShowItems")
            .onInterface("org.freedesktop.FileManager1")
            .implementedAs([this](const std::vector<std::string>& uris, const std::string&) {
                std::lock_guard lock(mutex_);
                shown_.insert(shown_.end(), uris.begin(), uris.end());
            });
        object_->finishRegistration();
        connection_->enterEventLoopAsync();
    }
    ~FileManagerOnBus() { connection_->leaveEventLoop(); }
    std::vector<std::string> shown() {
        std::lock_guard lock(mutex_);
        return shown_;
    }

private:
    std::unique_ptr<sdbus::IConnection> connection_;
    std::unique_ptr<sdbus::IObject> object_;
    std::mutex mutex_;
    std::vector<std::string> shown_;
};

TEST(LinuxFileManagerItemsTest, FileURIsArePercentEncoded) {
    EXPECT_EQ(LinuxFileManagerItems::fileURI("/home/ann/a b/Ünï'\"%.txt"),
              "file:///home/ann/a%20b/%C3%9Cn%C3%AF%27%22%25.txt");
}

TEST(LinuxFileManagerItemsTest, ShowItemAsksTheFileManagerOnTheSessionBusAndFallsBackToTheFolder) {
    PrivateSessionBus bus;
    if (!bus.started()) {
        GTEST_SKIP() << "dbus-daemon could not start a private session bus";
    }
    const char* previous = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    std::string saved = previous != nullptr ? previous : "";
    ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str(), 1);
    // "true" stands in for the desktop's opener: it starts and does nothing.
    LinuxWorkspace workspace({{"true"}}, [] { return true; });
    {
        FileManagerOnBus fileManager(bus.address());
        EXPECT_TRUE(workspace.showItem("/etc/hostname"));
        EXPECT_EQ(fileManager.shown(), std::vector<std::string>{"file:///etc/hostname"});
        EXPECT_FALSE(workspace.showItem("/nonexistent/entry"));
        EXPECT_EQ(fileManager.shown().size(), 1u);
    }
    // No file manager on the bus: the folder is opened instead.
    EXPECT_FALSE(LinuxFileManagerItems::showItems("/etc/hostname", std::chrono::milliseconds(2000)));
    EXPECT_TRUE(workspace.showItem("/etc/hostname"));
    if (previous != nullptr) {
        ::setenv("DBUS_SESSION_BUS_ADDRESS", saved.c_str(), 1);
    } else {
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
}

}  // namespace
}  // namespace harbormind
