#pragma once

#include <atomic>

#include "platform/UserData.h"

namespace harbormind {

// Counts removals; answers what a test set.
class SimUserData final : public UserData {
public:
    bool removeAll() override {
        ++removals_;
        return succeeds_;
    }
    void setSucceeds(bool succeeds) { succeeds_ = succeeds; }
    int removals() const { return removals_; }

private:
    std::atomic<bool> succeeds_{true};
    std::atomic<int> removals_{0};
};

}  // namespace harbormind
