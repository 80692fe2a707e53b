#pragma once

#include <string>
#include <vector>

#include "support/ShellQuote.h"

namespace harbormind::test {

// The first lines of a script run in a mount namespace of its own (`unshare --mount
// --propagation private sh -c SCRIPT`). Such a namespace starts with a copy of every mount of
// the machine, the volumes of other tests' disk images among them, and since the machine's
// mounts do not propagate, a volume another test unmounts stays mounted in the copy: its
// device stays busy (no exclusive open, no partition removal, no eject) for as long as the
// namespace lives. These lines let go of every volume on a loop device first, except those of
// images inside `keepFolders` (the test's own).
inline std::string releaseOtherDiskMounts(const std::vector<std::string>& keepFolders = {}) {
    std::string kept = "'/nonexistent/'*";
    for (const std::string& folder : keepFolders) {
        if (folder.empty()) {
            continue;
        }
        kept += "|" + ShellQuote::quote(folder + "/") + "*";
    }
    return "kept() { case \"$1\" in " + kept + ") return 0 ;; esac; return 1; }" + R"sh(
awk '{ for (i = 7; i <= NF; i++) if ($i == "-") { if (match($(i + 2), /^\/dev\/loop[0-9]+/)) print $5, substr($(i + 2), 6, RLENGTH - 5); break } }' \
    /proc/self/mountinfo | sort -r | while read -r point loop; do
    kept "$(cat "/sys/block/$loop/loop/backing_file" 2>/dev/null)" && continue
    umount -l "$(printf '%b' "$point")" 2>/dev/null
done
)sh";
}

}  // namespace harbormind::test
