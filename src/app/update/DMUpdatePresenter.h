#pragma once

#include <memory>

#include "update/MacUpdatePresenter.h"

class QWidget;

namespace harbormind {

class DMAlertPresenter;
class MacUpdateWindowController;

// Shows the update check's window and alerts. At most one update window exists: a new one
// replaces it.
class DMUpdatePresenter final : public MacUpdatePresenter {
public:
    DMUpdatePresenter(std::shared_ptr<DMAlertPresenter> alerts, QWidget* parentWindow);
    ~DMUpdatePresenter() override;

    void showUpdateWindow(const MacUpdateAppInfoObject& record, const MacUpdateUIConfiguration& configuration,
                          WindowCallback callback) override;
    void showAlert(const std::string& title, const std::string& text, const std::string& button) override;

    MacUpdateWindowController* updateWindow() const { return window_.get(); }

private:
    std::shared_ptr<DMAlertPresenter> alerts_;
    QWidget* parentWindow_;
    std::unique_ptr<MacUpdateWindowController> window_;
};

}  // namespace harbormind
