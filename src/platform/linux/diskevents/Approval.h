#pragma once

namespace harbormind {

// What the sessions of a process are asked to approve before the platform goes ahead.
enum class Approval { Mount, Unmount };

}  // namespace harbormind
