#pragma once

namespace harbormind {

// How the in-process daemon treats a connection: it answers, refuses the connection (the
// caller gets its default at once), or accepts calls and never replies (the caller's time
// limit decides).
enum class InProcessDaemonBehaviour { answer, failConnection, neverAnswer };

}  // namespace harbormind
