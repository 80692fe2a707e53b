#include "network/NetworkDriveListChange.h"

#include <algorithm>

#include "network/DMNetworkDriveObject.h"

namespace harbormind {

NetworkDriveListChange NetworkDriveListChange::follow(const std::vector<DriveRef>& listed,
                                                      const std::vector<DriveRef>& saved) {
    NetworkDriveListChange change;
    for (const DriveRef& drive : saved) {
        change.takeSaved(listed, drive);
    }
    for (const DriveRef& root : listed) {
        const bool stillSaved =
            std::any_of(saved.begin(), saved.end(), [&root](const DriveRef& drive) { return *drive == *root; });
        if (root->saved() && !stillSaved) {
            change.forget(root);
        }
    }
    return change;
}

void NetworkDriveListChange::takeSaved(const std::vector<DriveRef>& listed, const DriveRef& saved) {
    auto it = std::find_if(listed.begin(), listed.end(), [&saved](const DriveRef& root) { return *root == *saved; });
    if (it == listed.end()) {
        added.push_back(saved);
        return;
    }
    const DriveRef& known = *it;
    if (!known->saved() || known->name() != saved->name()) {
        known->setSaved(true);
        known->setName(saved->name());
        changed.push_back(known);
    }
}

void NetworkDriveListChange::forget(const DriveRef& listed) {
    listed->setSaved(false);
    (listed->isMounted() ? changed : removed).push_back(listed);
}

}  // namespace harbormind
