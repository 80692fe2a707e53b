#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/UpdateInstaller.h"

namespace harbormind {

// Installs nothing: records what it was asked and answers what a test set (installed).
class SimUpdateInstaller final : public UpdateInstaller {
public:
    Answer install(const std::string& packagePath, const std::string& signaturePath) override {
        std::lock_guard lock(mutex_);
        requests_.push_back(packagePath + " " + signaturePath);
        return answer_;
    }
    void setAnswer(Answer answer) {
        std::lock_guard lock(mutex_);
        answer_ = std::move(answer);
    }
    std::vector<std::string> requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    std::mutex mutex_;
    Answer answer_{true, {}};
    std::vector<std::string> requests_;
};

}  // namespace harbormind
