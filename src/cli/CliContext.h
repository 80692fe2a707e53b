#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

namespace harbormind {

class DMLocalDriveManager;
class DMLocalDriveObject;
class Platform;

// What every verb shares: the chosen platform (the real Linux machine by default, or a
// simulated one from a scenario file), the streams, and the local drive manager, started
// on first use and settled so that the tree is complete.
class CliContext {
public:
    CliContext(std::ostream& out, std::ostream& err, std::istream& in);
    ~CliContext();
    CliContext(const CliContext&) = delete;
    CliContext& operator=(const CliContext&) = delete;

    std::string platformName = "linux";
    std::string scenarioPath;
    // Used as it is instead of the named platform when set (an embedding program, a test).
    std::shared_ptr<Platform> givenPlatform;

    // Set by a verb that only prints the drives as they are now: the machine's drives are
    // read once, and nothing is started that would follow their changes.
    bool discoverOnce = false;

    // Set by the verb that ran; the program's exit status.
    int exitStatus = 0;
    std::function<std::optional<std::string>(const std::string& prompt)> readSecret;
    // `readSecret` reads from a terminal: a new password is asked twice.
    bool secretTyped = false;

    std::ostream& out;
    std::ostream& err;
    std::istream& in;

    // Sets up the platform and the daemon transport; false (with the reason on `err`) when
    // that fails.
    bool preparePlatform();
    // The started manager with every present drive classified; none when the platform failed.
    std::shared_ptr<DMLocalDriveManager> manager();
    // The drive with this identifier (a leading "/dev/" is ignored), or none with a message.
    std::shared_ptr<DMLocalDriveObject> drive(const std::string& name);
    // A password: through `readSecret` when set, else all of `in` less one trailing line break.
    std::optional<std::string> secret(const std::string& prompt);
    // Reports a one-line error and gives the exit status for it.
    int fail(const std::string& message);

private:
    static std::string notShownReason(const std::string& identifier, const std::string& name);

    bool prepared_ = false;
    std::shared_ptr<DMLocalDriveManager> manager_;
};

}  // namespace harbormind
