#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "daemon/linux/LinuxDiskToolsService.h"
#include "platform/sim/InProcessDiskToolsService.h"

namespace harbormind {
namespace {

using P = DMDiskToolsServerProtocol;

// A runner that fails the test if the service runs anything.
class NoToolsRunner final : public DiskToolRunner {
public:
    ProcessResult run(const std::string& program, const std::vector<std::string>&,
                      const std::optional<std::string>&) override {
        ADD_FAILURE() << program << " ran for a request whose arguments are wrong";
        return {};
    }
    bool installed(const std::string&) const override { return true; }
};

struct BadRequest {
    std::string what;
    std::function<void(DMDiskToolsServerProtocol&, XPCCodeReply)> send;
};

std::vector<BadRequest> badRequests() {
    return {
        {"unknown file system",
         [](auto& tools, auto reply) { tools.eraseWithBsdname("sdz", "zfs", "DATA", "", reply); }},
        {"an ext4 label of 17 bytes",
         [](auto& tools, auto reply) { tools.eraseWithBsdname("sdz", "ext4", "ABCDEFGHIJKLMNOPQ", "", reply); }},
        {"a FAT32 label of 12 letters",
         [](auto& tools, auto reply) { tools.eraseWithBsdname("sdz", "fat32", "ABCDEFGHIJKL", "", reply); }},
        {"a negative start",
         [](auto& tools, auto reply) {
             tools.createPartitionWithBsdname("sdz", -(1 << 20), 1 << 20, "ext4", "", "", reply);
         }},
        {"less than 1 MiB",
         [](auto& tools, auto reply) { tools.createPartitionWithBsdname("sdz", 1 << 20, 4096, "ext4", "", "", reply); }},
        {"an unaligned start",
         [](auto& tools, auto reply) {
             tools.createPartitionWithBsdname("sdz", (1 << 20) + 512, 8 << 20, "ext4", "", "", reply);
         }},
        {"a size past any disk",
         [](auto& tools, auto reply) {
             tools.createPartitionWithBsdname("sdz", 1 << 20, INT64_MAX - (INT64_MAX % (1 << 20)), "ext4", "", "",
                                              reply);
         }},
        {"a partition on a file system that is no choice",
         [](auto& tools, auto reply) { tools.createPartitionWithBsdname("sdz", 1 << 20, 8 << 20, "", "", "", reply); }},
    };
}

XPCCodeAnswer answerOf(DMDiskToolsServerProtocol& tools, const BadRequest& request) {
    std::optional<XPCCodeAnswer> answer;
    request.send(tools, [&answer](XPCCodeAnswer given) { answer = std::move(given); });
    EXPECT_TRUE(answer) << request.what << ": no answer";
    return answer.value_or(XPCCodeAnswer{-1, "none"});
}

// Wrong arguments are refused as `invalid` before the daemon asks the caller's authorization
// (which may show an administrator a password prompt) or runs a tool, and the simulated daemon
// the window tests use refuses them with the very same answers.
TEST(DiskToolsArgumentContractTest, BadArgumentsAreRefusedAlikeBeforeAnyAuthorization) {
    int asked = 0;
    DriveMountCaller caller{1000, [&asked](DaemonAction) {
                                ++asked;
                                return true;
                            }};
    LinuxDiskToolsService real(caller, [](const std::string&) { return std::nullopt; },
                               std::make_shared<NoToolsRunner>());
    auto daemon = std::make_shared<InProcessDaemon>();
    InProcessDiskToolsService simulated(daemon);
    for (const auto& request : badRequests()) {
        const int before = asked;
        XPCCodeAnswer fromReal = answerOf(real, request);
        EXPECT_EQ(asked, before) << request.what << " asked for authorization";
        XPCCodeAnswer fromSimulated = answerOf(simulated, request);
        EXPECT_EQ(fromReal.code, P::invalid) << request.what << ": " << fromReal.message;
        EXPECT_FALSE(fromReal.message.empty()) << request.what;
        EXPECT_EQ(fromSimulated.code, fromReal.code) << request.what;
        EXPECT_EQ(fromSimulated.message, fromReal.message) << request.what;
    }
    EXPECT_EQ(asked, 0);
}

}  // namespace
}  // namespace harbormind
