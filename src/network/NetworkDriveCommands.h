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

    // The changes `network edit` makes to a saved drive; what is absent stays as it is.
    struct DriveEdit {
        std::optional<std::string> name;
        std::optional<DMNetworkDriveType> type;
        // A folder text as the editor window takes it: "server/share", "smb://server/share".
        std::optional<std::string> folder;
        std::optional<std::string> userName;
        std::optional<std::string> password;
        std::optional<bool> anonymous;
    };

    int list();
    int add(const NewDrive& drive);
    // Changes a saved drive that is not connected, with the editor window's rules, and saves it.
    int edit(const std::string& drive, const DriveEdit& changes);
    // `drive` is an identifier (smb://user@host/share) or a name.
    int connect(const std::string& drive);
    int disconnect(const std::string& drive);
    int remove(const std::string& drive);

    static std::optional<DMNetworkDriveType> typeNamed(const std::string& name);

private:
    std::shared_ptr<DMNetworkDriveManager> manager(bool followVolumes);
    std::shared_ptr<DMNetworkDriveObject> find(const std::string& drive);
    int fail(const std::string& message, int status = 1);
    // Whether `drive` could be saved next to the other drives; the reason when not.
    std::optional<std::string> clash(const DMNetworkDriveObject& drive, const DMNetworkDriveObject* replaced);
    void report(const std::string& verb, const DMNetworkDriveObject& drive);
    // Runs the main queue until `done` holds or `limit` seconds pass.
    static bool waitFor(const std::function<bool()>& done, double limit);

    std::ostream& out_;
    bool json_;
    std::shared_ptr<DMNetworkDriveManager> manager_;
};

}  // namespace harbormind
