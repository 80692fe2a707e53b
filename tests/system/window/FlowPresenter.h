#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/common/DMAlertPresenter.h"

namespace harbormind::test {

// Stands where the user reads alerts: records each one the window shows and answers it with
// the next button index the flow was given, or leaves it open (as a user who walked away).
class FlowPresenter final : public DMAlertPresenter {
public:
    void present(const DMAlert& alert, QWidget* window, Reply reply) override;

    // Answers for the alerts still to come, in order.
    void queueAnswer(int button) { answers_.push_back(button); }
    std::size_t count() const { return shown_.size(); }
    // Every alert so far: title, text, informative text, buttons, and the answer given (or null).
    nlohmann::json report() const;

private:
    struct Shown {
        DMAlert alert;
        std::optional<int> answer;
    };
    std::vector<Shown> shown_;
    std::vector<int> answers_;
};

}  // namespace harbormind::test
