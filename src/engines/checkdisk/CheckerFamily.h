#pragma once

namespace harbormind {

// The file systems First Aid can check, one checker program each.
enum class CheckerFamily { ext, vfat, exfat, ntfs, xfs, btrfs };

}  // namespace harbormind
