#pragma once

#include <string>
#include <vector>

namespace harbormind {

// Takes a disk whose volumes are unmounted away from the computer, and only when nothing else
// holds it: no program has one of its devices open, and each can be opened exclusively (which
// fails while a lazily detached file system, a mount or a mapping still uses it). Under that
// exclusive claim it detaches a loop image, ejects removable media, or takes a USB or
// FireWire disk off its bus, as "safely remove" does.
class DiskEjector {
public:
    struct Outcome {
        bool ejected = false;
        // The refusal came because something still uses the disk.
        bool busy = false;
        std::string problem;
    };

    // `devices`: the disk and everything on it, the disk among them.
    static Outcome eject(const std::string& disk, const std::vector<std::string>& devices);

private:
    static void waitForTransientUsers(const std::vector<std::string>& devices);
    // The disk opened exclusively, or -1 with `refusal` saying why.
    static int claim(const std::string& disk, const std::vector<std::string>& devices, Outcome& refusal);
    static Outcome release(const std::string& disk, int fd);
};

}  // namespace harbormind
