#pragma once

#include <optional>
#include <string>

namespace harbormind {

// The user's cache: folders of the application's that only their owner can enter.
class CacheFolders {
public:
    virtual ~CacheFolders() = default;
    // The folder `name` inside the user's cache, created with mode 0700 when missing. None when
    // it cannot be made, or when what is there is not a folder of the user's own (a symbolic
    // link, another owner) or lets others in and cannot be closed.
    virtual std::optional<std::string> privateFolder(const std::string& name) = 0;
};

}  // namespace harbormind
