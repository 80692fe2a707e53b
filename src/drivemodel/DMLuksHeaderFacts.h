#pragma once

#include <string>

namespace harbormind {

// What a detached LUKS2 header shows of itself: its binary header says LUKS version 2 and
// its JSON area lists the key slots. Read from the bytes alone (no cryptsetup, no device),
// so a client can check the header it was handed before telling the user it is kept.
struct DMLuksHeaderFacts {
    bool isLuks2 = false;
    int keySlots = 0;
    // Unfinished work recorded in the header (an interrupted reencryption).
    bool reencrypting = false;

    static DMLuksHeaderFacts of(const std::string& bytes);
};

}  // namespace harbormind
