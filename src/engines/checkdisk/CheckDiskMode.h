#pragma once

namespace harbormind {

// What a First Aid run may do to the volume: only look, or look and mend.
enum class CheckDiskMode { check, repair };

}  // namespace harbormind
