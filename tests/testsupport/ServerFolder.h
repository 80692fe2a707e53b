#pragma once

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "testsupport/ExitCleanup.h"

namespace harbormind::test {

// A private folder for a test's own servers and the network shares it mounts. When the test
// ends, however it ends, whatever is mounted below the folder is unmounted, every process
// whose command line names a path inside it (the servers, rclone's mount daemons) is stopped,
// and the folder is removed. The folder's name is unique, so nothing of another test matches.
class ServerFolder {
public:
    ServerFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "harbormind-network-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
            cleanup_ = std::make_unique<ExitCleanup>(cleanupScript, std::vector<std::string>{path_});
        }
    }
    ServerFolder(const ServerFolder&) = delete;
    ServerFolder& operator=(const ServerFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    // $1 the folder. Mounts go most recent first; a mount point's octal escapes of the mount
    // table are undone by printf. Servers get five seconds to stop before they are killed.
    static constexpr const char* cleanupScript = R"sh(
awk -v p="$1/" 'index($5, p) == 1 { print $5 }' /proc/self/mountinfo | tac |
    while read -r point; do umount -l "$(printf '%b' "$point")"; done
servers=
for line in /proc/[0-9]*/cmdline; do
    pid=${line#/proc/}
    pid=${pid%/cmdline}
    [ "$pid" != $$ ] && tr '\0' '\n' <"$line" 2>/dev/null | grep -qF "$1/" && servers="$servers $pid"
done
running() {
    for pid in $servers; do kill -0 "$pid" 2>/dev/null && return 0; done
    return 1
}
if [ -n "$servers" ]; then
    kill -TERM $servers 2>/dev/null
    for tries in $(seq 50); do
        running || break
        sleep 0.1
    done
    running && kill -KILL $servers 2>/dev/null
fi
rm -rf --one-file-system "$1"
)sh";

    std::string path_;
    std::unique_ptr<ExitCleanup> cleanup_;
};

}  // namespace harbormind::test
