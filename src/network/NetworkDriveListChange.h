#pragma once

#include <memory>
#include <vector>

namespace harbormind {

class DMNetworkDriveObject;

// How the listed drives follow the saved drives another program wrote: a drive saved there
// and not listed is added; a listed one takes the saved name and is saved; a saved one
// forgotten there is no longer saved and is removed, unless it is connected: it stays listed
// then until it disconnects. The listed drives are changed in place.
class NetworkDriveListChange {
public:
    using DriveRef = std::shared_ptr<DMNetworkDriveObject>;

    static NetworkDriveListChange follow(const std::vector<DriveRef>& listed, const std::vector<DriveRef>& saved);

    std::vector<DriveRef> added;
    std::vector<DriveRef> changed;
    std::vector<DriveRef> removed;

private:
    void takeSaved(const std::vector<DriveRef>& listed, const DriveRef& saved);
    void forget(const DriveRef& listed);
};

}  // namespace harbormind
