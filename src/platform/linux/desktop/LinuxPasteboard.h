#pragma once

#include <optional>
#include <string>

#include "platform/Pasteboard.h"

namespace harbormind {

// A named board is a file of that name in one private folder of the user: the runtime folder
// ($XDG_RUNTIME_DIR/kestrane-harbormind), or ~/.cache/kestrane-harbormind without one.
// The writer puts the text in the file; reading never follows a link and takes only a small
// regular file read whole; clearing removes the file.
class LinuxPasteboard final : public Pasteboard {
public:
    explicit LinuxPasteboard(std::string folder) : folder_(std::move(folder)) {}

    std::optional<std::string> string(const std::string& name) override;
    void clear(const std::string& name) override;

    static std::string defaultFolder();
    static constexpr long maximumSize = 64 * 1024;

private:
    std::optional<std::string> pathOf(const std::string& name) const;

    std::string folder_;
};

}  // namespace harbormind
