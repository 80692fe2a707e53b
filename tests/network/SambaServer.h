#pragma once

#include <memory>
#include <optional>
#include <string>

#include "network/TestProcessLauncher.h"
#include "testsupport/ServerFolder.h"

namespace harbormind::test {

// A real Samba server of the test's own: its configuration, password database and shares
// in a temporary folder, listening on 127.0.0.1 at an unprivileged port. It has one user
// ("harbor", mapped to the system's "nobody") with a share "data", and a guest share
// "public". Its folder stops the server and unmounts whatever is mounted in it when the test
// ends, also when the test process is killed.
class SambaServer {
public:
    static constexpr const char* user = "harbor";
    static constexpr const char* password = "Harbor-pw-42";

    // None, with the reason in `whyNot`, when this machine cannot run it.
    static std::unique_ptr<SambaServer> start(std::string& whyNot);

    int port() const { return port_; }
    std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
    const ServerFolder& folder() const { return folder_; }
    // A folder inside the server's folder for the test's home directory.
    std::string home() const { return folder_.file("home"); }
    std::string sharePath(const std::string& share) const { return folder_.file(share); }

private:
    SambaServer() = default;
    bool launch(std::string& whyNot);

    ServerFolder folder_;
    TestProcessLauncher processes_;
    int port_ = 0;
    int pid_ = 0;
};

}  // namespace harbormind::test
