#pragma once

#include <string>

namespace harbormind {

// The creation and modification times of a file system entry as the cleaning windows show
// them ("yyyy-MM-dd HH:mm:ss", local time). A link's own times are read, never its target's.
// Empty when the entry cannot be looked up or the file system keeps no such time.
class CDFileDates {
public:
    static std::string modified(const std::string& path);
    static std::string created(const std::string& path);
};

}  // namespace harbormind
