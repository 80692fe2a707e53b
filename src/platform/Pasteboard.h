#pragma once

#include <optional>
#include <string>

namespace harbormind {

// Named boards on which another program (an installer, an updater) leaves a word for this
// application before starting it. Only this application reads and clears them.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;
    // The text on the board `name`; none when nothing, or nothing readable, is there.
    virtual std::optional<std::string> string(const std::string& name) = 0;
    virtual void clear(const std::string& name) = 0;
};

}  // namespace harbormind
