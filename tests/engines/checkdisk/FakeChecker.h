#pragma once

#include <sys/stat.h>

#include <fstream>
#include <string>

namespace harbormind::test {

// A checker program of the test's own: a shell script written next to the image.
inline std::string writeFakeChecker(const std::string& folder, const std::string& body) {
    std::string path = folder + "/fake-checker";
    std::ofstream out(path);
    out << "#!/bin/sh\n" << body << "\n";
    out.close();
    ::chmod(path.c_str(), 0755);
    return path;
}

}  // namespace harbormind::test
