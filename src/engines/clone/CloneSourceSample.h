#pragma once

#include <string>

#include "engines/clone/CloneIo.h"

namespace harbormind::clone {

// A fingerprint of what a source holds: a hash of its first and last MiB (partition tables,
// file system headers with their UUIDs) and of blocks spread evenly over the rest. Two disks
// that share a name and a size but not their contents give different fingerprints; reading
// it costs a few MiB. A block that cannot be read counts as such.
std::string sourceSample(CloneSource& source);

}  // namespace harbormind::clone
