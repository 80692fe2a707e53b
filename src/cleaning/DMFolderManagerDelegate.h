#pragma once

#include <string_view>

namespace harbormind {

// How a scan or deletion reports. Every member is optional: the defaults never ask to stop and
// ignore the reports. Calls arrive on the background thread of the scan or deletion.
class DMFolderManagerDelegate {
public:
    virtual ~DMFolderManagerDelegate() = default;

    // Asked before each folder is listed; true abandons the rest of the scan.
    virtual bool isStop() { return false; }
    // An entry name as it is added to the tree (progress).
    virtual void searchFileName(std::string_view /*name*/) {}
    // Once, when a scan has ended (normally or stopped).
    virtual void searchFinish() {}
    // Once, when a deletion pass has ended.
    virtual void deleteFileFinish() {}
};

}  // namespace harbormind
