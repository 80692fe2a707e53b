#include <unistd.h>

#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/linux/mounting/MountDaemonClient.h"
#include "platform/linux/mounting/MountHelper.h"
#include "platform/linux/mounting/UserMediaFolder.h"
#include "support/DeviceName.h"

// harbormind-mount: mounts, unmounts and ejects block devices for Kestrane Harbormind.
//   harbormind-mount [--media-root DIR] mount NAME [MOUNTPOINT]
//   harbormind-mount unmount [--force] [--whole] NAME
//   harbormind-mount eject NAME
//   harbormind-mount unlock NAME     (passphrase on standard input)
//   harbormind-mount lock NAME
// Run by root, it acts itself. Run by anyone else (also when installed setuid), mount, unmount
// and eject are asked of the helper daemon, which decides for the caller the bus names; a
// mount folder and a media root are accepted from root only. The environment is never read.
namespace {

using namespace harbormind;

struct Request {
    std::string verb;
    std::string name;
    std::optional<std::string> mountPoint;
    std::string mediaRoot = UserMediaFolder::defaultRoot;
    UnmountForce force = UnmountForce::No;
    UnmountScope scope = UnmountScope::Volume;
};

int usage() {
    std::cerr << "usage: harbormind-mount [--media-root DIR] mount NAME [MOUNTPOINT] | unmount [--force] [--whole] "
                 "NAME | eject NAME | unlock NAME | lock NAME\n";
    return 2;
}

std::optional<Request> parse(std::vector<std::string> args) {
    Request request;
    std::vector<std::string> operands;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--force") {
            request.force = UnmountForce::Yes;
        } else if (arg == "--whole") {
            request.scope = UnmountScope::WholeDisk;
        } else if (arg == "--media-root" && i + 1 < args.size() && !args[i + 1].empty() && args[i + 1][0] == '/') {
            request.mediaRoot = args[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            return std::nullopt;
        } else {
            operands.push_back(arg);
        }
    }
    if (operands.size() < 2) {
        return std::nullopt;
    }
    request.verb = operands[0];
    request.name = operands[1];
    if (operands.size() == 3 && request.verb == "mount") {
        request.mountPoint = operands[2];
    } else if (operands.size() != 2) {
        return std::nullopt;
    }
    return request;
}

int report(const MountDaemonClient::Answer& answer) {
    if (answer.code == 0) {
        std::cout << answer.message << (answer.message.empty() || answer.message.back() == '\n' ? "" : "\n");
        return 0;
    }
    std::cerr << "harbormind-mount: " << answer.message << "\n";
    return answer.code > 0 && answer.code < 256 ? static_cast<int>(answer.code) : 1;
}

// The passphrase is all of standard input, as it is: cryptsetup reads it the same way.
std::string readPassphrase() {
    return std::string((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
}

// Anyone but root: the daemon does the work for the caller it sees on the bus.
int askDaemon(const Request& request) {
    // A setuid copy gives up its borrowed rights first: the bus must see the real caller.
    if (::setresgid(::getgid(), ::getgid(), ::getgid()) != 0 || ::setresuid(::getuid(), ::getuid(), ::getuid()) != 0) {
        std::cerr << "harbormind-mount: cannot drop privileges\n";
        return 1;
    }
    if (request.mountPoint || request.mediaRoot != UserMediaFolder::defaultRoot) {
        std::cerr << "harbormind-mount: only root chooses where a volume is mounted\n";
        return 13;
    }
    MountDaemonClient daemon;
    if (request.verb == "mount") {
        return report(daemon.mountVolume(request.name));
    }
    if (request.verb == "unmount") {
        return report(daemon.unmountVolume(request.name, request.force == UnmountForce::Yes,
                                           request.scope == UnmountScope::WholeDisk));
    }
    if (request.verb == "eject") {
        return report(daemon.ejectDisk(request.name));
    }
    if (request.verb == "unlock") {
        return report(daemon.unlockDrive(request.name, readPassphrase(), false));
    }
    if (request.verb == "lock") {
        return report(daemon.lockDrive(request.name));
    }
    std::cerr << "harbormind-mount: " << request.verb << " needs root\n";
    return 13;
}

int actAsRoot(const Request& request) {
    auto owner = MountOwner::ofUid(0);
    MountHelper helper(owner.value_or(MountOwner{"root", 0, 0}), request.mediaRoot, std::cout, std::cerr);
    if (request.verb == "mount") {
        return helper.mount(request.name, request.mountPoint);
    }
    if (request.verb == "unmount") {
        return helper.unmount(request.name, request.force, request.scope);
    }
    if (request.verb == "eject") {
        return helper.eject(request.name);
    }
    if (request.verb == "unlock") {
        return helper.unlock(request.name, readPassphrase());
    }
    if (request.verb == "lock") {
        return helper.lock(request.name);
    }
    return usage();
}

}  // namespace

int main(int argc, char** argv) {
    auto request = parse(std::vector<std::string>(argv + 1, argv + argc));
    if (!request) {
        return usage();
    }
    auto device = DeviceName::parse(request->name);
    if (!device) {
        std::cerr << "harbormind-mount: not a device name: " << request->name << "\n";
        return 2;
    }
    request->name = device->name();
    // The real uid decides: a setuid copy run by a user acts for that user, through the daemon.
    return ::getuid() == 0 ? actAsRoot(*request) : askDaemon(*request);
}
