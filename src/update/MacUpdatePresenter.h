#pragma once

#include <functional>
#include <string>

#include "update/MacUpdateAppInfoObject.h"
#include "update/MacUpdateUIConfiguration.h"

namespace harbormind {

// What the update check shows the user; the application implements it with its windows.
// Every call arrives on the main queue.
class MacUpdatePresenter {
public:
    // The window's buttons answer 0 (update), 1 (later) or 2 (skip).
    using WindowCallback = std::function<void(int choice, const MacUpdateAppInfoObject& record)>;

    virtual ~MacUpdatePresenter() = default;
    // Replaces any update window still open (its callback is dropped) with a new one in front.
    virtual void showUpdateWindow(const MacUpdateAppInfoObject& record, const MacUpdateUIConfiguration& configuration,
                                  WindowCallback callback) = 0;
    // An alert with `title` (may be empty), `text` and one button.
    virtual void showAlert(const std::string& title, const std::string& text, const std::string& button) = 0;
};

}  // namespace harbormind
