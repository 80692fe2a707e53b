#pragma once

#include <string>

namespace harbormind::clone {

// Device names as the application sends them. Linux has no separate raw (character) devices:
// a name "/dev/rNAME" means the block device "/dev/NAME" unless "/dev/rNAME" itself is a block
// device (such as /dev/ram0). Anything else is returned unchanged.
std::string blockDevicePath(const std::string& path);

}  // namespace harbormind::clone
