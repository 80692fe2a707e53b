#include "app/shell/DMLaunchOptions.h"

namespace harbormind {

const char* DMLaunchOptions::usage() {
    return "usage: harbormind [--platform linux|sim] [--scenario FILE] [--screenshot FILE.png] "
           "[--select IDENTIFIER]";
}

const char* DMLaunchOptions::helpText() {
    return "usage: harbormind [--platform linux|sim] [--scenario FILE] [--screenshot FILE.png] "
           "[--select IDENTIFIER]\n"
           "\n"
           "Shows every local and network drive in one window and acts on them.\n"
           "Only one window runs per user: a second start raises the first one.\n"
           "\n"
           "  --platform linux|sim   the machine to work on (default linux; sim is a simulated one)\n"
           "  --scenario FILE        the simulated machine's scenario (with --platform sim)\n"
           "  --screenshot FILE.png  save a picture of the window once the drives show, then quit\n"
           "  --select IDENTIFIER    the drive selected at start (its device name, such as sda1)\n"
           "  --palette dark         draw in the dark look, whatever the preferences say\n"
           "  -install               run once by the installer: open the welcome page and end\n"
           "  -h, --help             print this help and end\n"
           "\n"
           "Qt's own options (-platform, -style, ...) are accepted as well.";
}

bool DMLaunchOptions::isHelp(const std::string& word) {
    return word == "--help" || word == "-h";
}

bool DMLaunchOptions::takesValue(const std::string& word) {
    return word == "--platform" || word == "--scenario" || word == "--screenshot" || word == "--select" ||
           word == "--palette";
}

bool DMLaunchOptions::isOwnOption(const std::string& word) {
    return word == "-install" || isHelp(word) || takesValue(word);
}

std::optional<DMLaunchOptions> DMLaunchOptions::parse(const std::vector<std::string>& arguments, std::string& error) {
    DMLaunchOptions options;
    // The first argument is the program itself.
    for (std::size_t index = 1; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        auto value = [&](std::string& into) {
            if (index + 1 >= arguments.size()) {
                error = argument + " needs a value";
                return false;
            }
            into = arguments[++index];
            return true;
        };
        if (argument == "-install") {
            options.install = true;
        } else if (isHelp(argument)) {
            options.help = true;
            return options;
        } else if (argument == "--platform") {
            if (!value(options.platform)) {
                return std::nullopt;
            }
            if (options.platform != "linux" && options.platform != "sim") {
                error = "unknown platform " + options.platform + " (linux or sim)";
                return std::nullopt;
            }
        } else if (argument == "--scenario") {
            if (!value(options.scenario)) {
                return std::nullopt;
            }
        } else if (argument == "--screenshot") {
            if (!value(options.screenshot)) {
                return std::nullopt;
            }
        } else if (argument == "--palette") {
            if (!value(options.palette)) {
                return std::nullopt;
            }
            if (options.palette != "dark") {
                error = "unknown palette " + options.palette + " (dark)";
                return std::nullopt;
            }
        } else if (argument == "--select") {
            if (!value(options.select)) {
                return std::nullopt;
            }
        } else {
            error = "unknown argument " + argument;
            return std::nullopt;
        }
    }
    if (options.platform == "sim" && options.scenario.empty()) {
        error = "--platform sim needs --scenario FILE";
        return std::nullopt;
    }
    if (options.platform != "sim" && !options.scenario.empty()) {
        error = "--scenario goes with --platform sim";
        return std::nullopt;
    }
    return options;
}

}  // namespace harbormind
