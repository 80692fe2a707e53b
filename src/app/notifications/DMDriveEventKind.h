#pragma once

namespace harbormind {

// What happened to a drive, as the main window tells the notification manager.
enum class DMDriveEventKind { appeared = 0, disappeared = 1, available = 2, unavailable = 3 };

}  // namespace harbormind
