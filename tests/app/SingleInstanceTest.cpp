#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "AppTestSupport.h"
#include "app/instance/DMSingleInstance.h"

namespace harbormind {
namespace {

namespace fs = std::filesystem;

constexpr uid_t nobody = 65534;

// A folder everyone may write in, as a shared temporary folder is.
class SingleInstanceTest : public testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "needs root: a second user's process";
        }
        test::ensureApplication();
        std::string pattern = (fs::temp_directory_path() / "hm-instance-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        ::chmod(folder.c_str(), 0777);
        path = folder + "/harbormind.socket";
    }
    void TearDown() override {
        if (child > 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
        if (!folder.empty()) {
            fs::remove_all(folder);
        }
    }

    // A process of `uid` that runs `work` and ends with its answer as its exit status.
    void startChild(uid_t uid, int (*work)(const std::string&)) {
        child = ::fork();
        if (child == 0) {
            if (uid != 0 && (::setgid(uid) != 0 || ::setuid(uid) != 0)) {
                ::_exit(99);
            }
            ::_exit(work(path));
        }
    }
    // Lets the application's event loop run until the child, a real process the clock cannot
    // drive, ended (a bounded wait).
    int childStatus() {
        int status = 0;
        for (int i = 0; i < 2000; ++i) {
            QApplication::processEvents();
            if (::waitpid(child, &status, WNOHANG) == child) {
                child = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return -1;
    }

    static sockaddr_un address(const std::string& path) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        return address;
    }
    // Listens first and answers every question "ok", as an impostor would.
    static int impostor(const std::string& path) {
        int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un at = address(path);
        if (::bind(server, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || ::listen(server, 4) != 0) {
            return 98;
        }
        ::chmod(path.c_str(), 0777);
        for (;;) {
            int client = ::accept(server, nullptr, nullptr);
            char buffer[16];
            [[maybe_unused]] auto got = ::read(client, buffer, sizeof buffer);
            [[maybe_unused]] auto sent = ::write(client, "ok\n", 3);
            ::close(client);
        }
    }
    // Asks the instance listening at `path` to raise its window: 0 when it said it did.
    static int asker(const std::string& path) {
        int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un at = address(path);
        if (::connect(socket, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0) {
            return 2;
        }
        [[maybe_unused]] auto sent = ::write(socket, "raise\n", 6);
        char buffer[4] = {};
        auto got = ::read(socket, buffer, 3);
        return got == 3 && std::strcmp(buffer, "ok\n") == 0 ? 0 : 1;
    }

    std::string folder;
    std::string path;
    pid_t child = -1;
};

TEST_F(SingleInstanceTest, AnotherUsersSocketThatAnswersIsNotTakenForARunningWindow) {
    startChild(nobody, impostor);
    // The impostor is a real child process: its socket appears in its own (real) time.
    for (int i = 0; i < 400 && !fs::exists(path); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(fs::exists(path));
    EXPECT_FALSE(DMSingleInstance(QString::fromStdString(path)).handOverToRunningInstance(2000));
}

TEST_F(SingleInstanceTest, OnlyAStartOfTheSameUserRaisesTheWindow) {
    DMSingleInstance instance(QString::fromStdString(path));
    int raised = 0;
    ASSERT_TRUE(instance.listen([&raised] { ++raised; }));
    // The socket is the user's alone; even were it opened to others, their request is refused.
    ::chmod(path.c_str(), 0777);
    startChild(nobody, asker);
    EXPECT_NE(childStatus(), 0);
    EXPECT_EQ(raised, 0);
    startChild(0, asker);
    EXPECT_EQ(childStatus(), 0);
    EXPECT_EQ(raised, 1);
}

TEST_F(SingleInstanceTest, TheSocketLivesOnlyInARuntimeFolderOfTheUsersOwn) {
    EXPECT_TRUE(DMSingleInstance::socketPathIn(QString()).isEmpty());
    EXPECT_TRUE(DMSingleInstance::socketPathIn(QString::fromStdString(folder)).isEmpty());
    ::chmod(folder.c_str(), 0700);
    EXPECT_EQ(DMSingleInstance::socketPathIn(QString::fromStdString(folder)).toStdString(),
              folder + "/kestrane-harbormind.socket");
    ASSERT_EQ(::chown(folder.c_str(), nobody, nobody), 0);
    EXPECT_TRUE(DMSingleInstance::socketPathIn(QString::fromStdString(folder)).isEmpty());
    // Nothing falls back to the shared temporary folder.
    EXPECT_FALSE(DMSingleInstance::defaultSocketPath().startsWith(QDir::tempPath() + QStringLiteral("/harbormind-")));
}

}  // namespace
}  // namespace harbormind
