#pragma once

namespace harbormind {

// What a method does, for authorization: a question about a device or the daemon, or an
// action that changes a device, a secret or the system.
enum class DaemonAction { query, act };

}  // namespace harbormind
