#include "daemon/linux/DiskToolRunner.h"

#include <unistd.h>

#include <array>

#include "platform/linux/processes/LinuxProcessLauncher.h"
#include "support/Log.h"

namespace harbormind {

std::optional<std::string> SystemDiskToolRunner::pathOf(const std::string& program) {
    if (program.empty() || program.find('/') != std::string::npos) {
        return std::nullopt;
    }
    static constexpr std::array<const char*, 4> folders{"/usr/sbin/", "/usr/bin/", "/sbin/", "/bin/"};
    for (const char* folder : folders) {
        std::string path = folder + program;
        if (::access(path.c_str(), X_OK) == 0) {
            return path;
        }
    }
    return std::nullopt;
}

bool SystemDiskToolRunner::installed(const std::string& program) const {
    return pathOf(program).has_value();
}

ProcessResult SystemDiskToolRunner::run(const std::string& program, const std::vector<std::string>& arguments,
                                        const std::optional<std::string>& input) {
    auto path = pathOf(program);
    if (!path) {
        return {};
    }
    std::string line = program;
    for (const auto& argument : arguments) {
        line += " " + argument;
    }
    Log::info("disk tools: " + line);
    ProcessResult result = LinuxProcessLauncher().run(*path, arguments, input);
    if (result.exitStatus != 0) {
        Log::info("disk tools: " + program + " exited with " + std::to_string(result.exitStatus));
    }
    return result;
}

}  // namespace harbormind
