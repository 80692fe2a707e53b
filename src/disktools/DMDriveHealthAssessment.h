#pragma once

namespace harbormind {

// What a drive says of its own health. `notAvailable`: the drive cannot report (a disk
// image, a virtual disk, a USB bridge that hides it); `unknown`: it reported, but not enough
// to judge.
enum class DMDriveHealthAssessment { good, failing, unknown, notAvailable };

}  // namespace harbormind
