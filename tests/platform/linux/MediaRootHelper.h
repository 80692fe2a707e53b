#pragma once

#include <sys/stat.h>

#include <fstream>
#include <string>

namespace harbormind::test {

// The mount helper never reads its media root from the environment; root gives it with
// --media-root. Tests that mount as root keep their volumes out of /media through a small
// program in the media root that runs the helper with that option.
inline std::string mountHelperWithMediaRoot(const std::string& helper, const std::string& mediaRoot) {
    const std::string wrapper = mediaRoot + "/.helper";
    std::ofstream(wrapper) << "#!/bin/sh\nexec '" << helper << "' --media-root '" << mediaRoot << "' \"$@\"\n";
    ::chmod(wrapper.c_str(), 0700);
    return wrapper;
}

}  // namespace harbormind::test
