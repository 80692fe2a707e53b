#pragma once

namespace harbormind {

enum class MacUpdateInstallResult {
    Installed,
    // Not a package this platform installs; left where it is.
    NotAPackage,
    // The signature is missing or does not verify; nothing was installed.
    NotVerified,
    // The package manager failed or the administrator prompt was refused.
    Failed,
};

}  // namespace harbormind
