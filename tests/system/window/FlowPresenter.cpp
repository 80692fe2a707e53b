#include "system/window/FlowPresenter.h"

namespace harbormind::test {

void FlowPresenter::present(const DMAlert& alert, QWidget* /*window*/, Reply reply) {
    shown_.push_back({alert, std::nullopt});
    if (answers_.empty()) {
        return;
    }
    const int button = answers_.front();
    answers_.erase(answers_.begin());
    shown_.back().answer = button;
    if (reply) {
        reply(button);
    }
}

nlohmann::json FlowPresenter::report() const {
    nlohmann::json alerts = nlohmann::json::array();
    for (const Shown& entry : shown_) {
        alerts.push_back({{"title", entry.alert.title},
                          {"text", entry.alert.text},
                          {"informativeText", entry.alert.informativeText},
                          {"buttons", entry.alert.buttons},
                          {"answer", entry.answer ? nlohmann::json(*entry.answer) : nlohmann::json()}});
    }
    return alerts;
}

}  // namespace harbormind::test
