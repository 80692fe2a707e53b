#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/linux/mounthelper/MountHelper.h"

// harbormind-mount: mounts, unmounts and ejects block devices for Kestrane Harbormind.
//   harbormind-mount mount NAME [MOUNTPOINT]
//   harbormind-mount unmount [--force] [--whole] NAME
//   harbormind-mount eject NAME
//   harbormind-mount unlock NAME     (passphrase on standard input)
//   harbormind-mount lock NAME
int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    auto usage = [] {
        std::cerr << "usage: harbormind-mount mount NAME [MOUNTPOINT] | unmount [--force] [--whole] NAME | "
                     "eject NAME | unlock NAME | lock NAME\n";
        return 2;
    };
    if (args.empty()) {
        return usage();
    }
    const std::string verb = args.front();
    args.erase(args.begin());
    harbormind::UnmountForce force = harbormind::UnmountForce::No;
    harbormind::UnmountScope scope = harbormind::UnmountScope::Volume;
    std::vector<std::string> operands;
    for (const auto& arg : args) {
        if (arg == "--force") {
            force = harbormind::UnmountForce::Yes;
        } else if (arg == "--whole") {
            scope = harbormind::UnmountScope::WholeDisk;
        } else if (!arg.empty() && arg[0] == '-') {
            return usage();
        } else {
            operands.push_back(arg);
        }
    }
    if (operands.empty()) {
        return usage();
    }
    std::string name = operands[0];
    if (name.rfind("/dev/", 0) == 0) {
        name = name.substr(5);
    }
    if (!harbormind::MountHelper::isValidName(name)) {
        std::cerr << "harbormind-mount: not a device name: " << operands[0] << "\n";
        return 2;
    }
    harbormind::MountHelper helper;
    if (verb == "mount" && operands.size() <= 2) {
        return helper.mount(name, operands.size() == 2 ? std::optional<std::string>(operands[1]) : std::nullopt);
    }
    if (verb == "unmount" && operands.size() == 1) {
        return helper.unmount(name, force, scope);
    }
    if (verb == "eject" && operands.size() == 1) {
        return helper.eject(name);
    }
    if (verb == "unlock" && operands.size() == 1) {
        std::string passphrase((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
        return helper.unlock(name, passphrase);
    }
    if (verb == "lock" && operands.size() == 1) {
        return helper.lock(name);
    }
    return usage();
}
