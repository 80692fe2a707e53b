#pragma once

namespace harbormind {

// Whether a drive sits inside the machine or is attached from outside.
enum class DMDriveObjectLocation {
    unknown,
    internal,
    external,
};

}  // namespace harbormind
