#pragma once

#include <string>
#include <vector>

namespace harbormind {

// Where the USB blocker keeps its white and black lists, and the folder tree watched for
// changes to them.
class USBBlockerPaths {
public:
    virtual ~USBBlockerPaths() = default;
    virtual std::string listsFilePath() = 0;
    virtual std::string watchedFolder() = 0;
    // The file holding whether "USB Warden" is on and its mode: beside the lists file.
    virtual std::string wardenStatePath() {
        std::string lists = listsFilePath();
        auto slash = lists.rfind('/');
        return (slash == std::string::npos ? std::string() : lists.substr(0, slash + 1)) + "usbwarden.state";
    }
    // The administrator's lists files, read after the lists file, in name order; only files
    // nobody but root can change count.
    virtual std::vector<std::string> dropInFiles() { return {}; }
};

}  // namespace harbormind
