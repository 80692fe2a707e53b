#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "network/DMNetworkDriveType.h"

namespace harbormind {

class DMNetworkDriveManager;
class DMNetworkDriveObject;

// What the command line does with network drives: list, add, connect, disconnect, remove.
// Each verb writes its answer to `out` (text, or JSON when asked) and returns the process's
// exit status: 0 on success, 1 on a failure, 2 when the drive named is not known.
class NetworkDriveCommands {
public:
    struct NewDrive {
        std::string name;
        std::optional<DMNetworkDriveType> type;
        std::string host;
        std::string userName;
        std::string dir;
        std::optional<std::string> password;
        bool anonymous = false;
    };

    NetworkDriveCommands(std::ostream& out, bool json);
    ~NetworkDriveCommands();

    int list();
    int add(const NewDrive& drive);
    // `drive` is an identifier (smb://user@host/share) or a name.
    int connect(const std::string& drive);
    int disconnect(const std::string& drive);
    int remove(const std::string& drive);

    static std::optional<DMNetworkDriveType> typeNamed(const std::string& name);

private:
    std::shared_ptr<DMNetworkDriveManager> manager(bool followVolumes);
    std::shared_ptr<DMNetworkDriveObject> find(const std::string& drive);
    int fail(const std::string& message, int status = 1);
    // Runs the main queue until `done` holds or `limit` seconds pass.
    static bool waitFor(const std::function<bool()>& done, double limit);

    std::ostream& out_;
    bool json_;
    std::shared_ptr<DMNetworkDriveManager> manager_;
};

}  // namespace harbormind
