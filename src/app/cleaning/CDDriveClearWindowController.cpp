#include "app/cleaning/CDDriveClearWindowController.h"

#include <QVBoxLayout>

#include "app/cleaning/CDDriveClearViewController.h"
#include "app/cleaning/CDTexts.h"
#include "app/common/DMTr.h"

namespace harbormind {

CDDriveClearWindowController::CDDriveClearWindowController(DMFileScanManager& manager,
                                                           std::shared_ptr<DMAlertPresenter> presenter,
                                                           Workspace* workspace, QWidget* parent)
    : QDialog(parent), viewController_(new CDDriveClearViewController(manager, std::move(presenter), workspace, this)) {
    setObjectName(QStringLiteral("driveClearWindow"));
    setWindowTitle(DMTr::text(CDTexts::driveWindowTitle));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(viewController_);
    resize(940, 600);
}

void CDDriveClearWindowController::start(const std::string& path) {
    viewController_->start(path);
}

void CDDriveClearWindowController::present() {
    if (parentWidget() != nullptr) {
        setWindowFlag(Qt::Sheet, true);
        setWindowModality(Qt::WindowModal);
    }
    show();
}

}  // namespace harbormind
