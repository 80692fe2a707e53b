#include "app/cleaning/CDJunkClearWindowController.h"

#include <QVBoxLayout>

#include "app/cleaning/CDJunkClearViewController.h"
#include "app/cleaning/CDTexts.h"
#include "app/common/DMTr.h"

namespace harbormind {

CDJunkClearWindowController::CDJunkClearWindowController(DMFileClearManager& manager, std::vector<JunkCategory> table,
                                                         std::shared_ptr<DMAlertPresenter> presenter,
                                                         Workspace* workspace, QWidget* parent)
    : QDialog(parent),
      viewController_(new CDJunkClearViewController(manager, std::move(table), std::move(presenter), workspace, this)) {
    setObjectName(QStringLiteral("junkClearWindow"));
    setWindowTitle(DMTr::text(CDTexts::junkWindowTitle));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(viewController_);
    resize(860, 560);
}

void CDJunkClearWindowController::start() {
    viewController_->start();
}

void CDJunkClearWindowController::present() {
    if (parentWidget() != nullptr) {
        setWindowFlag(Qt::Sheet, true);
        setWindowModality(Qt::WindowModal);
    }
    show();
}

}  // namespace harbormind
