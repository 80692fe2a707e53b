#include "platform/linux/files/LinuxJunkLocations.h"

#include <unistd.h>

#include <chrono>

#include "platform/JunkCategoryTable.h"
#include "platform/linux/files/LinuxTemporaryEntryFilter.h"

namespace harbormind {

namespace {
constexpr std::uint32_t rootUser = 0;
}

LinuxJunkLocations::LinuxJunkLocations() : LinuxJunkLocations(static_cast<std::uint32_t>(::geteuid())) {}

LinuxJunkLocations::LinuxJunkLocations(std::uint32_t user) : user_(user) {}

std::vector<JunkCategory> LinuxJunkLocations::categories(const std::string& home) {
    JunkCategoryTable table;
    if (user_ != rootUser) {
        JunkCategory& temp = table.add("globalTemp", "Temp",
            "Programs leave temporary files in /tmp and /var/tmp. Deleting the ones you own frees disk space; "
            "files of other users and of running services are left alone.",
            {"/tmp", "/var/tmp"});
        // The age is compared with file times, so it is read from the system's calendar clock.
        auto now = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch());
        temp.entryFilter = std::make_shared<LinuxTemporaryEntryFilter>(user_, now.count());
    }
    table.add("userCache", "UserCache",
        "Applications keep caches in your cache folder (~/.cache) to start faster. They grow over time and are "
        "rebuilt when needed, so deleting them frees space at the cost of a slower first start.",
        {home + "/.cache"});
    table.add("userLog", "UserLog",
        "Your graphical sessions write log files that are rarely read once the session has ended.",
        {home + "/.local/share/xorg"});
    table.add("trash", "Trash",
        "Files you delete in your file manager are kept in the trash, where they still occupy disk space. "
        "Emptying the trash removes them for good.",
        {home + "/.local/share/Trash"});
    table.add("xcode", "DeveloperCaches",
        "Build tools and package managers keep downloaded packages and intermediate build results. They are "
        "downloaded or rebuilt again when a project needs them.",
        {home + "/.gradle/caches", home + "/.npm/_cacache", home + "/.cargo/registry/cache", home + "/.ccache"},
        {}, true);
    table.add("downloads", "Downloads",
        "Files you download are kept in your Downloads folder. Over time they accumulate; deleting incomplete "
        "downloads and files you no longer need frees disk space.",
        {home + "/Downloads"});
    table.add("userAppCache", "UserAppCache",
        "Sandboxed (Flatpak) applications keep their own caches. They are rebuilt when needed.",
        {}, "/cache", true);
    return std::move(table).take();
}

std::string LinuxJunkLocations::containersFolder(const std::string& home) {
    return home + "/.var/app/";
}

}  // namespace harbormind
