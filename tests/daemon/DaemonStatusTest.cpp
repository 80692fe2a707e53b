#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

#include "cli/HarbormindCtl.h"
#include "daemon/DaemonBusFixture.h"
#include "daemon/SimDaemonBackend.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {
namespace {

struct CtlRun {
    int status;
    std::string out;
};

CtlRun daemonStatus(std::vector<std::string> extra = {}) {
    std::vector<std::string> arguments{"daemon", "status"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
    int status = runHarbormindctl(arguments, out, err, in);
    return {status, out.str() + err.str()};
}

using DaemonStatusTest = test::DaemonBusFixture;

TEST_F(DaemonStatusTest, ReportsTheVersionAndEveryAnsweringService) {
    serve(std::make_shared<SimDaemonBackend>(std::make_shared<InProcessDaemon>()));
    CtlRun text = daemonStatus();
    EXPECT_EQ(text.status, 0) << text.out;
    EXPECT_NE(text.out.find("drivemanagerd 9.9.9 is running"), std::string::npos) << text.out;
    for (const char* name : XPCServiceName::all) {
        EXPECT_NE(text.out.find(std::string(name) + ": answers"), std::string::npos) << text.out;
    }
    EXPECT_NE(text.out.find("com.Kestrane.drivemanagerd.mountXPC: answers"), std::string::npos) << text.out;
    CtlRun json = daemonStatus({"--json"});
    auto parsed = nlohmann::json::parse(json.out);
    EXPECT_TRUE(parsed["reachable"]);
    EXPECT_EQ(parsed["version"], "9.9.9");
    EXPECT_EQ(parsed["services"].size(), XPCServiceName::all.size());
    EXPECT_TRUE(parsed["services"]["com.Kestrane.drivemanagerd.mountXPC"]);
}

TEST_F(DaemonStatusTest, ADaemonThatIsNotThereFailsTheCommand) {
    CtlRun text = daemonStatus();
    EXPECT_EQ(text.status, 1);
    EXPECT_NE(text.out.find("drivemanagerd is not reachable"), std::string::npos) << text.out;
    auto parsed = nlohmann::json::parse(daemonStatus({"--json"}).out);
    EXPECT_FALSE(parsed["reachable"]);
}

}  // namespace
}  // namespace harbormind
