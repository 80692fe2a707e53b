#pragma once

#include <optional>
#include <string>
#include <vector>

namespace harbormind {

// A folder only the user can enter, for one mount's credential files; removed with them
// when it goes.
class CredentialFolder {
public:
    explicit CredentialFolder(const std::string& parent);
    ~CredentialFolder();
    CredentialFolder(const CredentialFolder&) = delete;
    CredentialFolder& operator=(const CredentialFolder&) = delete;

    // Writes a file of mode 0600 in the folder; its path, or none.
    std::optional<std::string> write(const std::string& name, const std::string& contents);

private:
    std::string path_;
    std::vector<std::string> files_;
};

}  // namespace harbormind
