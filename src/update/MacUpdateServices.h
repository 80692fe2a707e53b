#pragma once

#include <memory>
#include <string>

namespace harbormind {

class CacheFolders;
class FileStore;
class HttpClient;
class Platform;
class SettingsStore;
class UpdateInstaller;
class Workspace;

// The platform services the update check uses, and the key that update packages must be
// signed with. A missing service turns its step off (no client: no check).
struct MacUpdateServices {
    HttpClient* http = nullptr;
    std::shared_ptr<SettingsStore> settings;
    CacheFolders* cacheFolders = nullptr;
    FileStore* files = nullptr;
    UpdateInstaller* installer = nullptr;
    Workspace* workspace = nullptr;
    std::string publicKeyHex;

    // The current platform's services and this build's key.
    static MacUpdateServices fromPlatform(Platform& platform);
};

}  // namespace harbormind
