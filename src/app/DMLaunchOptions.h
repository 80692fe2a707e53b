#pragma once

#include <optional>
#include <string>
#include <vector>

namespace harbormind {

// The command line of `harbormind`:
//   harbormind [--platform linux|sim] [--scenario FILE] [--screenshot FILE.png]
//              [--select IDENTIFIER] [-install]
struct DMLaunchOptions {
    std::string platform = "linux";
    std::string scenario;
    // Saves a picture of the main window once the drives are shown, then quits.
    std::string screenshot;
    // The drive selected at start (its identifier).
    std::string select;
    bool install = false;

    // The options, or an explanation of what is wrong with the arguments.
    static std::optional<DMLaunchOptions> parse(const std::vector<std::string>& arguments, std::string& error);
    static const char* usage();
    // Whether a command-line word is one of ours (the rest belongs to Qt), and whether it
    // is followed by a value.
    static bool isOwnOption(const std::string& word);
    static bool takesValue(const std::string& word);
};

}  // namespace harbormind
