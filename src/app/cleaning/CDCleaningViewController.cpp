#include "app/cleaning/CDCleaningViewController.h"

#include <QPointer>

#include "app/cleaning/CDCleanAlerts.h"
#include "app/cleaning/CDMaskView.h"
#include "app/cleaning/CDScanDelegate.h"
#include "app/common/DMAlertPresenter.h"
#include "platform/Workspace.h"
#include "support/Dispatch.h"

namespace harbormind {

CDCleaningViewController::CDCleaningViewController(std::shared_ptr<DMAlertPresenter> presenter, Workspace* workspace,
                                                   QWidget* parent)
    : QWidget(parent),
      presenter_(std::move(presenter)),
      workspace_(workspace),
      delegate_(std::make_shared<CDScanDelegate>()) {
    QPointer<CDCleaningViewController> self(this);
    delegate_->onName = [self](const std::string& name) {
        if (self && self->followingMask_ != nullptr) {
            self->followingMask_->setFileName(QString::fromStdString(name));
        }
    };
    delegate_->onSearchFinish = [self] {
        if (self) {
            self->searchFinished();
        }
    };
    delegate_->onDeleteFinish = [self] {
        if (self) {
            self->deleteFinished();
        }
    };
}

CDCleaningViewController::~CDCleaningViewController() {
    delegate_->setStop(true);
    delegate_->detach();
}

void CDCleaningViewController::follow(CDMaskView* mask) {
    followingMask_ = mask;
    mask->onStop = [this] { stopScan(); };
}

void CDCleaningViewController::stopScan() {
    followingMask_->showStopping();
    delegate_->setStop(true);
}

void CDCleaningViewController::askDesktop(std::function<bool(Workspace&)> ask, bool folder) {
    if (workspace_ == nullptr) {
        return;
    }
    Workspace* workspace = workspace_;
    auto presenter = presenter_;
    QPointer<CDCleaningViewController> self(this);
    Dispatch::global()->async([workspace, ask = std::move(ask), folder, presenter, self] {
        const bool shown = ask(*workspace);
        Dispatch::main().async([shown, folder, presenter, self] {
            if (!shown && self) {
                presenter->present(CDCleanAlerts::missing(folder), self->window(), nullptr);
            }
        });
    });
}

}  // namespace harbormind
