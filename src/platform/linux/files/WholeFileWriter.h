#pragma once

#include <string>
#include <sys/types.h>

namespace harbormind {

enum class CreateFolders { Yes, No };

// Writes a file whole: a temporary file in the same folder, fsync, rename over the target,
// then fsync of the folder. A reader sees the old contents or the new, never a mixture.
class WholeFileWriter {
public:
    static bool write(const std::string& path, const std::string& contents, mode_t mode,
                      CreateFolders createFolders = CreateFolders::Yes);
    // Creates the folder and any missing parents with `mode`.
    static bool makeFolders(const std::string& folder, mode_t mode);
};

}  // namespace harbormind
