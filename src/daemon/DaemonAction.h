#pragma once

namespace harbormind {

// What a method does, for authorization: a question about a device or the daemon, an action
// that changes a device, a secret or the system, or mounting, unmounting and ejecting a
// drive for the caller (which needs `act` as well for an internal disk).
enum class DaemonAction { query, act, mount };

}  // namespace harbormind
