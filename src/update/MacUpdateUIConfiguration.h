#pragma once

#include <string>

namespace harbormind {

// The texts of the update window.
struct MacUpdateUIConfiguration {
    std::string skipButtonTitle;
    std::string updateButtonTitle;
    std::string laterButtonTitle;
    // Holds one "%@": the offered version.
    std::string versionText;
    std::string releaseNotesText;
};

}  // namespace harbormind
