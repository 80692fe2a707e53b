#pragma once

#include "app/common/DMAlertPresenter.h"

namespace harbormind {

// Presents alerts as window-modal message boxes; the event loop keeps running meanwhile.
class DMMessageBoxPresenter final : public DMAlertPresenter {
public:
    void present(const DMAlert& alert, QWidget* window, Reply reply) override;
};

}  // namespace harbormind
