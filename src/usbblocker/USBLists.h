#pragma once

#include <vector>

#include "usbblocker/Drive.h"

namespace harbormind {

// Both lists as read from the lists file, in file order.
struct USBLists {
    std::vector<Drive> whiteList;
    std::vector<Drive> blackList;
};

}  // namespace harbormind
