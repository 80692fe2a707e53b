#pragma once

namespace harbormind {

// How a method uses a device it is named: only reads it or changes its state (`read`), or
// writes over it (`overwrite`), which is refused while the device or a partition of it is in use.
enum class DeviceUse { read, overwrite };

}  // namespace harbormind
