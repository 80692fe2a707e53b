#pragma once

#include <string>

namespace harbormind {

// Installs a downloaded update with administrator rights. The privileged side checks the
// package's signature itself, on a copy nobody else can change, and installs only that copy.
class UpdateInstaller {
public:
    struct Answer {
        bool installed = false;
        std::string message;  // why not, when not
    };

    virtual ~UpdateInstaller() = default;
    virtual Answer install(const std::string& packagePath, const std::string& signaturePath) = 0;
};

}  // namespace harbormind
