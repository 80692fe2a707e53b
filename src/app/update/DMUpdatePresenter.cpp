#include "app/update/DMUpdatePresenter.h"

#include "app/common/DMAlertPresenter.h"
#include "app/common/DMTexts.h"
#include "app/common/DMTr.h"
#include "app/update/MacUpdateWindowController.h"

namespace harbormind {

DMUpdatePresenter::DMUpdatePresenter(std::shared_ptr<DMAlertPresenter> alerts, QWidget* parentWindow)
    : alerts_(std::move(alerts)), parentWindow_(parentWindow) {}

DMUpdatePresenter::~DMUpdatePresenter() = default;

void DMUpdatePresenter::showUpdateWindow(const MacUpdateAppInfoObject& record,
                                         const MacUpdateUIConfiguration& configuration, WindowCallback callback) {
    if (window_) {
        window_->detachDelegate();
        window_->close();
    }
    window_ = std::make_unique<MacUpdateWindowController>(record, configuration, std::move(callback));
    window_->showWindow();
}

void DMUpdatePresenter::showAlert(const std::string& title, const std::string& text, const std::string& button) {
    if (alerts_) {
        alerts_->present({title.empty() ? DMTr::text(DMTexts::productName) : title, text, {button}}, parentWindow_, nullptr);
    }
}

}  // namespace harbormind
