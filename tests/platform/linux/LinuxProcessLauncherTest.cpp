#include <gtest/gtest.h>

#include <unistd.h>

#include "platform/linux/processes/LinuxProcessLauncher.h"

namespace harbormind {
namespace {

TEST(LinuxProcessLauncherTest, DrainsSeveralMegabytesOnBothPipesAtOnce) {
    LinuxProcessLauncher launcher;
    // Each stream gets 4 MiB at the same time, far more than a pipe holds.
    auto result = launcher.run("/bin/sh", {"-c",
        "head -c 4194304 /dev/zero | tr '\\0' o & head -c 4194304 /dev/zero | tr '\\0' e >&2; wait; exit 3"});
    EXPECT_TRUE(result.launched);
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_EQ(result.standardOutput.size(), 4U << 20);
    EXPECT_EQ(result.standardError.size(), 4U << 20);
    EXPECT_EQ(result.standardOutput.find_first_not_of('o'), std::string::npos);
    EXPECT_EQ(result.standardError.find_first_not_of('e'), std::string::npos);
}

TEST(LinuxProcessLauncherTest, ErrorOnlyNothingAndRawBytes) {
    LinuxProcessLauncher launcher;
    auto errorOnly = launcher.run("/bin/sh", {"-c", "echo oops >&2"});
    EXPECT_EQ(errorOnly.standardOutput, "");
    EXPECT_EQ(errorOnly.standardError, "oops\n");

    auto nothing = launcher.run("/bin/true", {});
    EXPECT_TRUE(nothing.launched);
    EXPECT_EQ(nothing.exitStatus, 0);
    EXPECT_EQ(nothing.standardOutput + nothing.standardError, "");

    auto raw = launcher.run("/usr/bin/printf", {"\\377\\000\\303"});
    EXPECT_EQ(raw.standardOutput, std::string("\xff\0\xc3", 3));
}

TEST(LinuxProcessLauncherTest, AMissingProgramIsNotLaunched) {
    LinuxProcessLauncher launcher;
    auto result = launcher.run("/nonexistent/program", {"x"});
    EXPECT_FALSE(result.launched);
    EXPECT_EQ(result.exitStatus, -1);
    EXPECT_EQ(result.standardOutput, "");
    EXPECT_FALSE(launcher.run("no-such-program-anywhere", {}).launched);
    EXPECT_TRUE(launcher.run("true", {}).launched) << "a bare name is looked up in PATH";
}

TEST(LinuxProcessLauncherTest, ArgumentsAndStandardInputArriveUnchanged) {
    LinuxProcessLauncher launcher;
    const std::string password = "it's \"$(touch /tmp/hm-pwned)\" `id` \\ $HOME\nsecond line";
    auto echoed = launcher.run("/bin/cat", {}, password);
    EXPECT_EQ(echoed.standardOutput, password);
    EXPECT_NE(access("/tmp/hm-pwned", F_OK), 0);

    auto argument = launcher.run("/usr/bin/printf", {"%s", password});
    EXPECT_EQ(argument.standardOutput, password) << "no shell sees an argument";
}

TEST(LinuxProcessLauncherTest, LargeInputWhileTheChildAlsoWritesAndAChildThatIgnoresIt) {
    LinuxProcessLauncher launcher;
    std::string input(3 << 20, 'x');
    auto copied = launcher.run("/bin/cat", {}, input);
    EXPECT_EQ(copied.standardOutput.size(), input.size());

    // The child exits without reading: the broken pipe must not end this process.
    auto ignored = launcher.run("/bin/sh", {"-c", "exit 0"}, std::string(1 << 20, 'y'));
    EXPECT_TRUE(ignored.launched);
    EXPECT_EQ(ignored.exitStatus, 0);

    auto empty = launcher.run("/bin/cat", {}, std::string());
    EXPECT_EQ(empty.standardOutput, "");
}

TEST(LinuxProcessLauncherTest, AKilledChildReportsItsSignal) {
    LinuxProcessLauncher launcher;
    auto result = launcher.run("/bin/sh", {"-c", "kill -9 $$"});
    EXPECT_EQ(result.exitStatus, 128 + 9);
}

TEST(LinuxProcessLauncherTest, NoDescriptorOfOursLeaksIntoTheChild) {
    LinuxProcessLauncher launcher;
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);  // deliberately without close-on-exec
    auto result = launcher.run("/bin/sh", {"-c", "ls /proc/self/fd | wc -l"});
    close(fds[0]);
    close(fds[1]);
    // 0, 1, 2 and the descriptor ls uses to read the folder.
    EXPECT_EQ(std::stoi(result.standardOutput), 4);
}

}  // namespace
}  // namespace harbormind
