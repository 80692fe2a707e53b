#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace harbormind {

// What the last deletion pass could not remove.
class DMDeleteFaileRecord {
public:
    std::int64_t iFileCount = 0;
    std::int64_t iFolderCount = 0;
    std::vector<std::string> folderNames;

    void clear() {
        iFileCount = 0;
        iFolderCount = 0;
        folderNames.clear();
    }
};

}  // namespace harbormind
