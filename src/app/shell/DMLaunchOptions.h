#pragma once

#include <optional>
#include <string>
#include <vector>

namespace harbormind {

// The command line of `harbormind`:
//   harbormind [--platform linux|sim] [--scenario FILE] [--screenshot FILE.png]
//              [--select IDENTIFIER] [-install] [--help]
struct DMLaunchOptions {
    std::string platform = "linux";
    std::string scenario;
    // Saves a picture of the main window once the drives are shown, then quits.
    std::string screenshot;
    // The drive selected at start (its identifier).
    std::string select;
    // "dark" draws the window in the dark look whatever the preferences say.
    std::string palette;
    bool install = false;
    // Prints the options and ends without showing a window.
    bool help = false;

    // The options, or an explanation of what is wrong with the arguments.
    static std::optional<DMLaunchOptions> parse(const std::vector<std::string>& arguments, std::string& error);
    static const char* usage();
    // The usage line and what each option does.
    static const char* helpText();
    // Whether a command-line word is one of ours (the rest belongs to Qt), and whether it
    // is followed by a value.
    static bool isOwnOption(const std::string& word);
    static bool takesValue(const std::string& word);
    static bool isHelp(const std::string& word);
};

}  // namespace harbormind
