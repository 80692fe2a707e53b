#include "system/support/FolderHolder.h"

#include <filesystem>

#include "system/support/SystemWait.h"

namespace harbormind::test {
namespace {

bool someProcessWorksIn(const std::string& folder) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ignored)) {
        std::error_code unreadable;
        if (std::filesystem::read_symlink(entry.path() / "cwd", unreadable) == folder) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::unique_ptr<ChildProcess> FolderHolder::start(const SystemAccount& user, const std::string& folder) {
    auto holder = std::make_unique<ChildProcess>(std::vector<std::string>{
        "setpriv", "--reuid=" + std::to_string(user.uid()), "--regid=" + std::to_string(user.gid()),
        "--init-groups", "--", "sh", "-c", "cd \"$0\" && exec tail -f /dev/null", folder});
    if (!SystemWait::until([&] { return someProcessWorksIn(folder); }, std::chrono::seconds(10))) {
        return nullptr;
    }
    return holder;
}

}  // namespace harbormind::test
