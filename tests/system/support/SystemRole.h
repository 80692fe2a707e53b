#pragma once

namespace harbormind::test {

// The users a system test runs clients as; each is made for the test.
enum class SystemRole {
    // What the user of the active local session of a desktop is granted.
    desktop,
    // Another user granted the same (a second account on the same desktop).
    otherDesktop,
    // A user polkit refuses.
    refused,
    // An administrator who has authenticated.
    administrator,
};

}  // namespace harbormind::test
