#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "system/support/LoopVolume.h"
#include "system/support/PolkitAuthority.h"
#include "system/support/SystemAccount.h"
#include "system/support/SystemGroup.h"
#include "system/support/SystemRole.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/PrivateBus.h"
#include "testsupport/ProgramRun.h"

namespace harbormind::test {

// What a window flow reported (its JSON), with how the program ended.
struct WindowFlowOutcome {
    Outcome run;
    nlohmann::json report;
};

// The installed system, driven as its users drive it: the programs as `cmake --install` puts
// them, a private system bus with the installed bus policy, the distribution's polkitd with
// rules for this test, the installed daemon running as root, and four users made for the test
// (two desktop users, a refused one, an administrator) whose clients run through runuser: the
// command line, and the window's own code in the window flow program. Loop devices with real
// file systems are made on demand. Skips (or, with HARBORMIND_REQUIRE_SYSTEM_TESTS=1, fails)
// where root, loop devices, polkitd or the installed programs are missing.
class SystemTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Options the daemon is started with beyond the test's folders (a fixture may add some).
    virtual std::vector<std::string> extraDaemonOptions() const { return {}; }

    const SystemAccount& account(SystemRole role) const;
    // Runs the installed harbormindctl as the role's user; `input` is its standard input.
    Outcome ctl(SystemRole role, const std::vector<std::string>& arguments, const std::string& input = {});
    // Runs a flow of the window flow program (tests/system/window) as the role's user.
    WindowFlowOutcome window(SystemRole role, const std::string& flow, const std::vector<std::string>& arguments = {},
                             const std::map<std::string, std::string>& environment = {});
    // Runs any program as the role's user, with the clients' environment plus `environment`.
    Outcome runAs(SystemRole role, const std::vector<std::string>& argv, const std::string& input = {},
                  const std::map<std::string, std::string>& environment = {},
                  std::chrono::seconds limit = std::chrono::seconds(180));
    // Starts a program as the role's user, with the clients' environment, and leaves it running
    // (ended by its own pid when the handle goes, or with the users' other processes).
    std::unique_ptr<ChildProcess> startAs(SystemRole role, const std::vector<std::string>& argv);
    // The same, where the system bus's usual socket is the test's bus: a setuid program (polkit's
    // agent helper, which reports a typed password) ignores the bus address in its environment.
    // The program gets a mount name space of its own for it.
    std::unique_ptr<ChildProcess> startAsOnUsualBus(SystemRole role, const std::vector<std::string>& argv);
    // Runs a program as root, the way the machine's own services call the daemon.
    Outcome asRoot(const std::vector<std::string>& argv);
    // A loop device made for this test, detached when it ends. Root attached it, so to the
    // daemon it is an image nobody else attached (using it needs an administrator) unless
    // `attachedBy` says which user attached it.
    LoopVolume& loopVolume(const LoopVolumeOrder& order = {});
    // Records, as the daemon does when it attaches an image for a user, that the role's user
    // attached the loop device: to that user it is their own disk image, as a stick is.
    void attachedBy(const LoopVolume& loop, SystemRole role);

    // Where the daemon mounts the role's volumes (its media root stands for /media).
    std::string mediaFolder(SystemRole role) const;
    // Where the daemon writes the USB blocker agent's unit (in place of the system's user units).
    std::string usbAgentUnitPath() const;
    // The USB blocker's lists file (root's, kept by the daemon, read by every client).
    std::string usbListsPath() const;
    const std::string& folder() const { return folder_; }
    std::string daemonLog() const;
    // What the daemon keeps until the machine restarts (--state-dir), here for this test only.
    std::string stateFolder() const;
    // Where the daemon keeps the maps of interrupted clones (--clone-maps), for this test only.
    std::string cloneMapsFolder() const;
    // Ends the daemon and starts it again (as a restart of the machine's service would).
    void restartDaemon();
    // The running daemon's process id; -1 when it does not run.
    int daemonPid() const;

    // Ends every process of the role's user, each by its id: what the test started as them.
    void endProcessesOf(SystemRole role);

private:
    bool prepare(std::string& whyNot);
    bool startDaemon(std::string& error);
    void stopDaemon();
    // Processes of the test's users still running (a program a test started and lost) end,
    // each by its id, so the users can be removed.
    void endProcessesOfTheUsers();
    void endProcesses(const std::set<uid_t>& users, bool unexpected);
    std::map<std::string, std::string> clientEnvironment(const SystemAccount& account) const;
    // runuser's words that run `argv` as the user with the clients' environment and `extra`.
    std::vector<std::string> asUser(const SystemAccount& user, const std::vector<std::string>& argv,
                                    const std::map<std::string, std::string>& extra) const;

    std::string folder_;
    std::string tag_;
    std::vector<std::unique_ptr<SystemGroup>> groups_;
    std::map<SystemRole, std::unique_ptr<SystemAccount>> accounts_;
    std::unique_ptr<PrivateBus> bus_;
    std::unique_ptr<PolkitAuthority> polkit_;
    std::unique_ptr<ChildProcess> daemon_;
    std::vector<std::unique_ptr<LoopVolume>> loops_;
    int runs_ = 0;
};

}  // namespace harbormind::test
