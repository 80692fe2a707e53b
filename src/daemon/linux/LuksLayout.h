#pragma once

namespace harbormind {

// Where the LUKS2 header of a volume encrypted in place goes: in front of the data (the
// file system is shrunk and the data moved; needs device-mapper), or into a file the daemon
// keeps (works without device-mapper; the volume then opens only with that file).
enum class LuksLayout { detachedHeader, headerInFront };

}  // namespace harbormind
