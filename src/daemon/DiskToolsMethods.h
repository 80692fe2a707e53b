#pragma once

#include <vector>

#include "daemon/DaemonMethod.h"

namespace harbormind {

// The disk tools service's methods: health, self-tests, erasing and partitions.
class DiskToolsMethods {
public:
    static std::vector<DaemonMethod> all();
};

}  // namespace harbormind
