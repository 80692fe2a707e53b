#pragma once

#include <optional>
#include <string>

namespace harbormind {

// The system's package manager, for the NTFS driver and for removing this application.
class PackageManager {
public:
    virtual ~PackageManager() = default;
    // The package that brings the read-write NTFS driver.
    virtual std::string ntfsDriverPackage() const = 0;
    // The package the running application was installed from; none when it was not.
    virtual std::optional<std::string> applicationPackage() = 0;
    // Both ask for administrator rights first; true only when the package manager reported
    // the work done (a refused or cancelled prompt is false).
    virtual bool install(const std::string& package) = 0;
    virtual bool remove(const std::string& package) = 0;
};

}  // namespace harbormind
