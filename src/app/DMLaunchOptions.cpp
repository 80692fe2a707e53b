#include "app/DMLaunchOptions.h"

namespace harbormind {

const char* DMLaunchOptions::usage() {
    return "usage: harbormind [--platform linux|sim] [--scenario FILE] [--screenshot FILE.png] "
           "[--select IDENTIFIER]";
}

bool DMLaunchOptions::takesValue(const std::string& word) {
    return word == "--platform" || word == "--scenario" || word == "--screenshot" || word == "--select";
}

bool DMLaunchOptions::isOwnOption(const std::string& word) {
    return word == "-install" || takesValue(word);
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
