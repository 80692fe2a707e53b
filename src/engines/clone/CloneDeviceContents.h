#pragma once

#include <optional>
#include <string>

namespace harbormind::clone {

// What a device holds, as far as signatures tell: a partition table or a file system (such as
// "gpt" or "ext4"); empty when no signature is found. Reads only.
std::optional<std::string> deviceContents(const std::string& path);

}  // namespace harbormind::clone
