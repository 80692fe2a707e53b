#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "BuildConfiguration.h"
#include "support/CodeResult.h"

namespace harbormind {

// Where and how the daemon installs an update, and the key it must be signed with; only tests
// use other values than the defaults.
struct UpdateInstallSettings {
    std::string folder = "/var/lib/kestrane/updates";
    std::string publicKeyHex = BuildConfiguration::updatePublicKey;  // empty: this build installs no update
    std::vector<std::string> installCommand{"/usr/bin/apt-get", "install", "--yes", "--"};
};

// Installs an update package nobody can swap: the package and its detached Ed25519 signature
// arrive as files the caller opened; the package is copied into a folder only root may enter,
// the copy's bytes are checked against the signature with the built-in key, and only that
// copy is installed (the package manager gets its path as its last argument), then removed.
class UpdatePackageInstaller {
public:
    static constexpr std::size_t maxPackageBytes = 256 * 1024 * 1024;
    static constexpr std::size_t maxSignatureBytes = 4096;

    explicit UpdatePackageInstaller(UpdateInstallSettings settings);

    CodeResult install(int packageFd, int signatureFd) const;

private:
    bool prepareFolder() const;
    // The package manager's exit status and its last line of output.
    int runInstaller(const std::string& path, std::string& lastLine) const;

    UpdateInstallSettings settings_;
};

}  // namespace harbormind
