#pragma once

#include <functional>

#include "app/common/DMAlert.h"

class QWidget;

namespace harbormind {

// Shows alerts and sheets. Every alert of the window goes through one presenter, so tests
// can read what was shown and choose the answer.
class DMAlertPresenter {
public:
    using Reply = std::function<void(int buttonIndex)>;

    virtual ~DMAlertPresenter() = default;

    // Shows `alert` as a sheet on `window`, or on its own when `window` is null, and calls
    // `reply` with the index of the chosen button (-1 when it was dismissed without one).
    virtual void present(const DMAlert& alert, QWidget* window, Reply reply) = 0;
};

}  // namespace harbormind
