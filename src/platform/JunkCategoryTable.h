#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/JunkLocations.h"

namespace harbormind {

// Builds a platform's table of junk categories, one `add` per category in the order they are shown.
class JunkCategoryTable {
public:
    JunkCategory& add(std::string key, std::string displayName, std::string explanation,
                      std::vector<std::string> paths, std::string containerSuffix = {}, bool showsEntries = false) {
        JunkCategory& category = table_.emplace_back();
        category.key = std::move(key);
        category.displayName = std::move(displayName);
        category.explanation = std::move(explanation);
        category.paths = std::move(paths);
        category.containerSuffix = std::move(containerSuffix);
        category.showsEntriesOfPlaces = showsEntries;
        return category;
    }

    std::vector<JunkCategory> take() && { return std::move(table_); }

private:
    std::vector<JunkCategory> table_;
};

}  // namespace harbormind
