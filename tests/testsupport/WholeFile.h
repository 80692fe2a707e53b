#pragma once

#include <string>

namespace harbormind::test {

// The file's bytes, empty when it cannot be opened.
std::string readWholeFile(const std::string& path);

}  // namespace harbormind::test
