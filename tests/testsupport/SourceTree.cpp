#include "testsupport/SourceTree.h"

#include <cstdlib>

namespace harbormind::test {

std::string SourceTree::path(const std::string& relative) {
    const char* moved = std::getenv("HARBORMIND_SOURCE_DIR");
    return std::string(moved != nullptr ? moved : HARBORMIND_TEST_SOURCE_DIR) + "/" + relative;
}

}  // namespace harbormind::test
