#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace harbormind {

// What the last deletion pass could not remove, and what it did remove.
class DMDeleteFaileRecord {
public:
    // One entry that stayed, and why.
    struct Failure {
        std::string path;
        std::string reason;
        bool folder = false;
        // The pass's own top folder (a drive's mount point): it stays by design.
        bool top = false;
    };

    std::int64_t iFileCount = 0;
    std::int64_t iFolderCount = 0;
    std::vector<std::string> folderNames;

    std::int64_t deletedFiles = 0;
    std::int64_t deletedFolders = 0;
    std::int64_t deletedBytes = 0;
    // The first `keptFailures` entries that stayed; the counts above count every one.
    std::vector<Failure> failures;
    static constexpr std::size_t keptFailures = 1000;

    void clear() {
        iFileCount = 0;
        iFolderCount = 0;
        folderNames.clear();
        deletedFiles = 0;
        deletedFolders = 0;
        deletedBytes = 0;
        failures.clear();
    }
    void addFailure(Failure failure) {
        if (failures.size() < keptFailures) {
            failures.push_back(std::move(failure));
        }
    }
};

}  // namespace harbormind
