#include "testsupport/WholeFile.h"

#include <fstream>
#include <sstream>

namespace harbormind::test {

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace harbormind::test
