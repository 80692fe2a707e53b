#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/DiskImages.h"

namespace harbormind {

// Disk images on the simulated machine: records what it was asked and gives the answers a
// test set, in order, the last one again and again (by default: images cannot be attached here).
class SimDiskImages final : public DiskImages {
public:
    Answer attach(const std::string& path, bool readOnly) override {
        std::lock_guard lock(mutex_);
        requests_.push_back(path + (readOnly ? " read-only" : ""));
        Answer answer = answers_.front();
        if (answers_.size() > 1) {
            answers_.erase(answers_.begin());
        }
        return answer;
    }
    void setAnswers(std::vector<Answer> answers) {
        std::lock_guard lock(mutex_);
        if (!answers.empty()) {
            answers_ = std::move(answers);
        }
    }
    std::vector<std::string> requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    std::mutex mutex_;
    std::vector<Answer> answers_{{1, "the simulated machine attaches no disk images"}};
    std::vector<std::string> requests_;
};

}  // namespace harbormind
