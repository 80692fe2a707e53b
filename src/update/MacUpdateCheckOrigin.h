#pragma once

namespace harbormind {

// An automatic check stays silent when nothing is new; one the user asked for says so.
enum class MacUpdateCheckOrigin { Automatic, UserInitiated };

}  // namespace harbormind
