#include "platform/linux/desktop/LinuxPasteboard.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/linux/files/XdgConfigHome.h"

namespace harbormind {

std::string LinuxPasteboard::defaultFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        return std::string(runtime) + "/kestrane-harbormind";
    }
    return XdgConfigHome::homeFolder() + "/.cache/kestrane-harbormind";
}

std::optional<std::string> LinuxPasteboard::pathOf(const std::string& name) const {
    // A board's name is one file name, never a way out of the folder.
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
        name.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return folder_ + "/" + name;
}

std::optional<std::string> LinuxPasteboard::string(const std::string& name) {
    auto path = pathOf(name);
    if (!path) {
        return std::nullopt;
    }
    const int descriptor = ::open(path->c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        return std::nullopt;
    }
    struct stat facts {};
    std::optional<std::string> text;
    if (::fstat(descriptor, &facts) == 0 && S_ISREG(facts.st_mode) && facts.st_size <= maximumSize) {
        std::string content(static_cast<std::size_t>(facts.st_size), '\0');
        std::size_t done = 0;
        while (done < content.size()) {
            const ssize_t got = ::read(descriptor, content.data() + done, content.size() - done);
            if (got <= 0) {
                break;
            }
            done += static_cast<std::size_t>(got);
        }
        // A file that changed size while being read is not taken.
        char extra = 0;
        if (done == content.size() && ::read(descriptor, &extra, 1) == 0) {
            text = std::move(content);
        }
    }
    ::close(descriptor);
    return text;
}

void LinuxPasteboard::clear(const std::string& name) {
    if (auto path = pathOf(name)) {
        ::unlink(path->c_str());
    }
}

}  // namespace harbormind
