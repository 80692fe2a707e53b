#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/JunkEntryFilter.h"

namespace harbormind {

// One category of places whose contents the user can usually delete to free space.
struct JunkCategory {
    std::string key;  // internal name, such as "userCache"
    std::string displayName;
    std::string explanation;
    // The places, already joined to the home folder, in the order they are scanned.
    std::vector<std::string> paths;
    // Appended to each per-application container folder to add one more place (empty: none).
    std::string containerSuffix;
    // True when the entries found directly inside each place are shown in the category
    // instead of the place itself.
    bool showsEntriesOfPlaces = false;
    // Which entries below the places are offered (absent: all of them).
    std::shared_ptr<const JunkEntryFilter> entryFilter;
};

// The table of junk places of this platform.
class JunkLocations {
public:
    virtual ~JunkLocations() = default;
    // The categories in the order they are shown, for the user whose home folder is `home`.
    virtual std::vector<JunkCategory> categories(const std::string& home) = 0;
    // The folder holding one sub-folder per application container, ending in "/" (empty when
    // the platform has none).
    virtual std::string containersFolder(const std::string& home) = 0;
};

}  // namespace harbormind
