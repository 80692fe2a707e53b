#pragma once

#include <string>

#include "testsupport/ExitCleanup.h"

namespace harbormind::test {

// Detaches the loop devices a test attached to its disk image, however the test ends (see
// ExitCleanup): every loop device whose backing file is the image, found by the image's exact
// path (or only `device`, when one is named), after unmounting what is mounted from it or its
// partitions, most recent first. Then removes `folder`, when one is named.
class LoopImageCleanup {
public:
    explicit LoopImageCleanup(const std::string& image, const std::string& folder = {},
                              const std::string& device = {})
        : cleanup_(script, {image, folder, device}) {}

private:
    // $1 the image, $2 the folder or "", $3 the device's name or "". A mount point's octal
    // escapes of the mount table are undone by printf.
    static constexpr const char* script = R"sh(
for backing in /sys/block/loop*/loop/backing_file; do
    name=${backing#/sys/block/}
    name=${name%%/*}
    [ -z "$3" ] || [ "$name" = "$3" ] || continue
    file=$(cat "$backing" 2>/dev/null) || continue
    [ "$file" = "$1" ] || [ "$file" -ef "$1" ] || continue
    awk -v d="/dev/$name" '{ for (i = 7; i <= NF; i++) if ($i == "-") {
        s = $(i + 2); if (s == d || index(s, d "p") == 1) print $5; break } }' /proc/self/mountinfo |
        tac | while read -r point; do umount -l "$(printf '%b' "$point")"; done
    partx -d "/dev/$name"
    losetup -d "/dev/$name"
done
[ -z "$2" ] || rm -rf --one-file-system "$2"
)sh";

    ExitCleanup cleanup_;
};

}  // namespace harbormind::test
