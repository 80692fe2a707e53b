#pragma once

#include <string>

namespace harbormind {

// Where the USB blocker keeps its white and black lists, and the folder tree watched for
// changes to them.
class USBBlockerPaths {
public:
    virtual ~USBBlockerPaths() = default;
    virtual std::string listsFilePath() = 0;
    virtual std::string watchedFolder() = 0;
};

}  // namespace harbormind
