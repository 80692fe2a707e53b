#pragma once

#include <memory>

namespace harbormind {

class DMLocalDriveManager;

// The application's watch over its disks' health: every local whole disk is checked hourly
// and a desktop notification warns when one starts failing or wears (DMDriveHealthWatcher).
class DMDriveHealthWatch {
public:
    static void start(const std::shared_ptr<DMLocalDriveManager>& manager);
    static void stop();
};

}  // namespace harbormind
