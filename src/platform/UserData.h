#pragma once

namespace harbormind {

// What this user's runs of the application left behind: its settings, its keychains and its
// autostart entry.
class UserData {
public:
    virtual ~UserData() = default;
    // Removes all of it. True when nothing of it is left.
    virtual bool removeAll() = 0;
};

}  // namespace harbormind
