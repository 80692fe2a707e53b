#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <regex>
#include <unistd.h>

#include "agent/USBAgentModeStore.h"
#include "AgentProcess.h"
#include "daemon/linux/LinuxUSBBlockerService.h"
#include "platform/linux/desktop/LinuxUSBAgentUnit.h"
#include "platform/sim/InProcessDaemon.h"
#include "platform/sim/InProcessXPCTransport.h"
#include "testsupport/TemporaryFolder.h"
#include "usbblocker/USBBlocker.h"
#include "xpc/XPCTransport.h"

namespace harbormind {
namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(USBAgentModeTest, TheEngineSeesTheDaemonsModeNotItsOwnModelKey) {
    auto daemon = std::make_shared<InProcessDaemon>();
    XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(daemon));
    USBBlockerSettings settings = USBBlockerSettings::current();
    daemon->usbWarden().set(true, 1, std::string("pw"));
    EXPECT_EQ(USBAgentModeStore(settings).value(USBBlocker::modelKey), PlatformValue(1));
    daemon->usbWarden().set(true, 2, std::string("pw"));
    EXPECT_EQ(USBAgentModeStore(settings).value(USBBlocker::modelKey), PlatformValue(2));
    // A daemon that does not answer gives the asking mode, never "allow all".
    daemon->setBehaviour(InProcessDaemonBehaviour::failConnection);
    EXPECT_EQ(USBAgentModeStore(settings).value(USBBlocker::modelKey), PlatformValue(1));
    XPCTransport::setCurrent(nullptr);
}

// The agent as the daemon installs it: the test has the daemon's service write the unit,
// starts the program its ExecStart names on the simulated machine of usb-disks.json, with
// the lists in a real file, and talks to it through its standard input and output.
class USBAgentProcessTest : public testing::Test {
protected:
    void startAgent(int modeValue) {
        std::string unit = folder.file("systemd/user/" + std::string(LinuxUSBAgentUnit::unitName));
        LinuxUSBWarden::Options options;
        options.listsFile = folder.file("warden/usbblocker.cnf");
        auto warden = std::make_shared<LinuxUSBWarden>(options);
        ASSERT_TRUE(warden->store().setPassword("pw"));
        LinuxUSBBlockerService service(warden, 0, unit, HARBORMIND_USBAGENT_BUILD_PATH);
        ASSERT_TRUE(service.addPlistFile());
        std::smatch exec;
        std::string text = readFile(unit);
        ASSERT_TRUE(std::regex_search(text, exec, std::regex("\nExecStart=([^\n]+)\n")));

        nlohmann::json scenario = nlohmann::json::parse(
            readFile(std::string(HARBORMIND_TEST_SOURCE_DIR) + "/tests/scenarios/usb-disks.json"));
        // The agent's own "model" saying "allow all" must not weaken the daemon's mode.
        scenario["settings"] = {{"standard", {{"model", 0}}}};
        scenario["daemon"]["usbBlocker"]["warden"] = {{"on", true}, {"mode", modeValue}, {"password", "pw"}};
        std::ofstream(folder.file("machine.json")) << scenario.dump();
        std::ofstream(lists()) << "WD Elements 25A2 Media:1000__white\n";

        agent = std::make_unique<test::AgentProcess>(
            std::vector<std::string>{exec[1].str(), "--platform", "sim", "--scenario", folder.file("machine.json"),
                                     "--lists", lists(), "--control-on-stdin"},
            std::map<std::string, std::string>{{"QT_QPA_PLATFORM", "offscreen"}});
        ASSERT_TRUE(agent->lineStartingWith("ready", 20000)) << "the agent did not start";
    }
    std::string lists() const { return folder.file("usbblocker.cnf"); }
    // Waits until the volume is mounted (or not): the agent says so when it changes, after the
    // answers it gave before. Starting the engine unmounts the external volumes that are not
    // white-listed; a mount asked before that has happened would find the volume mounted already.
    bool waitUntilMounted(const std::string& bsdName, bool mounted = true) {
        if ((mountedVolumes().find(" " + bsdName + " ") != std::string::npos) == mounted) {
            return true;
        }
        return agent->lineStartingWith("volume " + bsdName + (mounted ? " mounted" : " unmounted"), 20000).has_value();
    }
    bool waitUntilUnmounted(const std::string& bsdName) { return waitUntilMounted(bsdName, false); }
    std::string mountedVolumes() {
        agent->send("mounted?");
        return agent->lineStartingWith("volumes").value_or("") + " ";
    }
    // The agent's answer to a mount: "mounted NAME" or "refused NAME".
    std::string mount(const std::string& bsdName) {
        agent->send("mount " + bsdName);
        for (;;) {
            std::optional<std::string> line = agent->lineStartingWith("");
            if (!line) {
                return "timeout";
            }
            if (*line == "mounted " + bsdName || *line == "refused " + bsdName) {
                return *line;
            }
        }
    }
    // Waits until the agent has re-read lists that white-list `count` disks.
    bool waitForLists(int count) {
        return agent->lineStartingWith("lists changed " + std::to_string(count) + " white", 20000).has_value();
    }

    test::TemporaryFolder folder;
    std::unique_ptr<test::AgentProcess> agent;
};

TEST_F(USBAgentProcessTest, WhiteListOnlyRefusesUntilAnotherProcessListsTheDisk) {
    startAgent(2);
    ASSERT_TRUE(waitUntilUnmounted("disk7s1"));
    EXPECT_EQ(mount("disk7s1"), "refused disk7s1");
    EXPECT_EQ(mountedVolumes().find(" disk7s1 "), std::string::npos);

    // Another process (this test) lists the disk; the agent's watch picks it up.
    std::ofstream(lists(), std::ios::app) << "Generic Flash Disk Media:16__white\n";
    ASSERT_TRUE(waitForLists(2)) << "the white-list change was not seen";
    EXPECT_EQ(mount("disk7s1"), "mounted disk7s1");
}

TEST_F(USBAgentProcessTest, AskingModeHoldsTheDiskWhileTheQuestionIsOpenAndMountsItWhenAllowed) {
    startAgent(1);
    agent->send("mount disk4s1");
    EXPECT_TRUE(agent->lineStartingWith("asking disk4s1"));
    EXPECT_EQ(mountedVolumes().find(" disk4s1 "), std::string::npos);
    agent->send("allow");
    EXPECT_TRUE(waitUntilMounted("disk4s1"));

    // Blocking leaves the other stick refused.
    ASSERT_TRUE(waitUntilUnmounted("disk7s1"));
    agent->send("mount disk7s1");
    EXPECT_TRUE(agent->lineStartingWith("asking disk7s1"));
    agent->send("block");
    agent->send("mount disk7s1");
    EXPECT_EQ(agent->lineStartingWith("refused disk7s1").value_or("timeout"), "refused disk7s1");
    EXPECT_EQ(mountedVolumes().find(" disk7s1 "), std::string::npos);
}

TEST_F(USBAgentProcessTest, ListsFileReplacedRemovedAndRecreatedKeepsTheAgentRunning) {
    startAgent(2);
    ASSERT_TRUE(waitUntilUnmounted("disk7s1"));
    std::filesystem::remove(lists());
    EXPECT_EQ(mount("disk7s1"), "refused disk7s1");
    std::ofstream(folder.file("new.cnf")) << "Generic Flash Disk Media:16__white\n";
    std::filesystem::rename(folder.file("new.cnf"), lists());
    // Re-read after the removal the lists are empty (or, where both changes came together,
    // they are the new file's at once): one white-listed disk is the new file's.
    ASSERT_TRUE(waitForLists(1)) << "the new lists file was not seen";
    EXPECT_EQ(mount("disk7s1"), "mounted disk7s1");
    agent->send("mounted?");
    EXPECT_TRUE(agent->lineStartingWith("volumes")) << "the agent is gone";
}

TEST_F(USBAgentProcessTest, AfterItsOwnRestartTheAgentReEvaluatesTheDisksMountedMeanwhile) {
    startAgent(2);
    ASSERT_TRUE(waitUntilUnmounted("disk7s1"));
    // The agent goes (its input closes); the machine it starts on next has the unlisted stick
    // mounted again, as a disk mounted while no agent ran would be.
    agent.reset();
    startAgent(2);
    EXPECT_TRUE(waitUntilUnmounted("disk7s1")) << "a disk mounted while the agent was away stayed mounted";
    EXPECT_NE(mountedVolumes().find(" disk5s1 "), std::string::npos) << "the white-listed disk was unmounted";
}

}  // namespace
}  // namespace harbormind
