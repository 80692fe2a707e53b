#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/PackageManager.h"

namespace harbormind {

// A package manager that records what it was asked and answers what a test set. `onInstall`
// lets a test make the installed package show up (its files appear).
class SimPackageManager final : public PackageManager {
public:
    std::string ntfsDriverPackage() const override { return "ntfs-3g"; }
    std::optional<std::string> applicationPackage() override {
        std::lock_guard lock(mutex_);
        return applicationPackage_;
    }
    bool install(const std::string& package) override { return record("install " + package); }
    bool remove(const std::string& package) override { return record("remove " + package); }

    void setApplicationPackage(std::optional<std::string> package) {
        std::lock_guard lock(mutex_);
        applicationPackage_ = std::move(package);
    }
    // Whether the administrator prompt is granted and the work succeeds.
    void setSucceeds(bool succeeds) {
        std::lock_guard lock(mutex_);
        succeeds_ = succeeds;
    }
    void setOnInstall(std::function<void(const std::string& package)> onInstall) {
        std::lock_guard lock(mutex_);
        onInstall_ = std::move(onInstall);
    }
    std::vector<std::string> requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    bool record(const std::string& request) {
        std::function<void(const std::string&)> onInstall;
        bool succeeds = false;
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
            succeeds = succeeds_;
            onInstall = onInstall_;
        }
        const std::string installPrefix = "install ";
        if (succeeds && onInstall && request.rfind(installPrefix, 0) == 0) {
            onInstall(request.substr(installPrefix.size()));
        }
        return succeeds;
    }

    std::mutex mutex_;
    std::optional<std::string> applicationPackage_;
    bool succeeds_ = true;
    std::function<void(const std::string&)> onInstall_;
    std::vector<std::string> requests_;
};

}  // namespace harbormind
