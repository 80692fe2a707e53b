#include "app/encryption/BLBitLockerViewController.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QUrl>
#include <QUrlQuery>
#include <QVBoxLayout>

#include "app/common/DMTextFormat.h"
#include "app/common/DMTr.h"
#include "app/encryption/BLEncryptionProgressReceiver.h"
#include "app/encryption/BLEncryptionTexts.h"
#include "app/encryption/BLLoadingViewController.h"
#include "app/encryption/BLPageController.h"
#include "app/encryption/BLQueryViewController.h"
#include "app/encryption/BLRecoveryKeyFile.h"
#include "app/encryption/BLRecoveryKeyOutput.h"
#include "app/encryption/BLSaveViewController.h"
#include "app/encryption/BLSetPwdViewController.h"
#include "drivemodel/DMLocalDriveBitLockerEncryption.h"
#include "platform/Platform.h"
#include "platform/UserDatabase.h"
#include "platform/Workspace.h"

namespace harbormind {

BLBitLockerViewController::BLBitLockerViewController(std::shared_ptr<DMLocalDriveEncryptable> job,
                                                     std::shared_ptr<BLRecoveryKeyOutput> output, QWidget* parent)
    : QWidget(parent), job_(std::move(job)), output_(std::move(output)) {
    stack_ = new QStackedWidget(this);
    pwdPage = new BLSetPwdViewController(stack_);
    loadingViewController = new BLLoadingViewController(stack_);
    saveViewController = new BLSaveViewController(stack_);
    queryViewController = new BLQueryViewController(stack_);
    for (QWidget* page : {static_cast<QWidget*>(pwdPage), static_cast<QWidget*>(loadingViewController),
                          static_cast<QWidget*>(saveViewController), static_cast<QWidget*>(queryViewController)}) {
        stack_->addWidget(page);
    }
    pageController = new BLPageController(4, this);
    btnHelp = new QPushButton(DMTr::text(BLEncryptionTexts::help), this);
    btnCancel = new QPushButton(DMTr::text(BLEncryptionTexts::cancel), this);
    btnPrevious = new QPushButton(DMTr::text(BLEncryptionTexts::previous), this);
    btnNext = new QPushButton(DMTr::text(BLEncryptionTexts::next), this);
    btnStart = new QPushButton(DMTr::text(BLEncryptionTexts::startEncrypting), this);

    auto* buttons = new QHBoxLayout();
    buttons->addWidget(btnHelp);
    buttons->addStretch();
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnPrevious);
    buttons->addWidget(btnNext);
    buttons->addWidget(btnStart);
    lbFailure = new QLabel(this);
    lbFailure->setStyleSheet("color: #d0312d;");
    lbFailure->setWordWrap(true);
    lbFailure->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(stack_, 1);
    layout->addWidget(lbFailure);
    layout->addWidget(pageController, 0, Qt::AlignHCenter);
    layout->addLayout(buttons);

    connect(btnNext, &QPushButton::clicked, this, [this] { goNext(); });
    connect(btnPrevious, &QPushButton::clicked, this, [this] { goPrevious(); });
    connect(btnStart, &QPushButton::clicked, this, [this] {
        if (confirmed_) {
            confirmed_();
        }
    });
    connect(btnHelp, &QPushButton::clicked, this, [this] { openHelp(); });
    connect(saveViewController->btnSave, &QPushButton::clicked, this, [this] { saveRecoveryKey(); });
    connect(saveViewController->btnPrint, &QPushButton::clicked, this, [this] { printRecoveryKey(); });

    QPointer<BLBitLockerViewController> self(this);
    receiver_ = std::make_shared<BLEncryptionProgressReceiver>([self](const DMProgressMessage& message) {
        if (self) {
            self->showProgress(message);
        }
    });
    if (job_) {
        job_->setDelegate(receiver_);
    }
    show(passwordPage);
}

int BLBitLockerViewController::currentPage() const {
    return stack_->currentIndex();
}

bool BLBitLockerViewController::isBitLocker() const {
    return dynamic_cast<DMLocalDriveBitLockerEncryption*>(job_.get()) != nullptr;
}

std::optional<std::string> BLBitLockerViewController::guid() const {
    auto* bitLocker = dynamic_cast<DMLocalDriveBitLockerEncryption*>(job_.get());
    return bitLocker ? bitLocker->guid() : std::nullopt;
}

std::string BLBitLockerViewController::recoveryKeyText() const {
    return BLRecoveryKeyFile::text(guid(), job_ ? job_->recoveryKey() : std::nullopt);
}

void BLBitLockerViewController::startResumed() {
    if (!job_ || prepared_) {
        return;
    }
    resumed_ = true;
    prepared_ = true;
    saveViewController->lbExplanation->setText(QString("%1\n\n%2").arg(
        QString::fromUtf8(DMTr::text(BLEncryptionTexts::saveExplanation)), QString::fromUtf8(DMTr::text(BLEncryptionTexts::resumeNewKey))));
    job_->prepare();
    show(loadingPage);
}

void BLBitLockerViewController::show(int page) {
    stack_->setCurrentIndex(page);
    pageController->setCurrentPage(page);
    // Back from the key is to the password: the job is set up once. A resume has no password page.
    btnPrevious->setVisible(!failed_ && page != passwordPage && page != loadingPage && !(resumed_ && page == savePage));
    btnNext->setVisible(page != queryPage);
    btnNext->setEnabled(!failed_ && page != loadingPage);
    btnStart->setVisible(page == queryPage);
    btnStart->setEnabled(!failed_);
}

void BLBitLockerViewController::goNext() {
    switch (currentPage()) {
        case passwordPage: {
            if (!job_) {
                return;
            }
            bool holds = job_->password().has_value();
            std::optional<std::string> password = pwdPage->acceptedPassword(holds, isBitLocker());
            if (!password) {
                return;
            }
            if (!holds || !password->empty()) {
                job_->setPassword(*password);
            }
            if (!prepared_) {
                prepared_ = true;
                job_->prepare();
            }
            show(initialized_ ? savePage : loadingPage);
            break;
        }
        case savePage:
            if (saveViewController->isSaved()) {
                show(queryPage);
            }
            break;
        default:
            break;
    }
}

void BLBitLockerViewController::goPrevious() {
    int page = currentPage();
    if (page == savePage) {
        show(passwordPage);
    } else if (page > passwordPage && page != loadingPage) {
        show(page - 1);
    }
}

void BLBitLockerViewController::showFailure(const DMProgressMessage& message) {
    failed_ = true;
    std::string reason = message.message;
    if (reason.empty()) {
        reason = DMTextFormat::withInteger(DMTr::text(BLEncryptionTexts::interruptedFormat),
                                           static_cast<long long>(static_cast<std::uint64_t>(message.error)));
    }
    lbFailure->setText(QString(DMTr::text(BLEncryptionTexts::setupFailedFormat)).arg(QString::fromStdString(reason)));
    lbFailure->show();
    show(currentPage());
}

void BLBitLockerViewController::showProgress(const DMProgressMessage& message) {
    // The job ended while the wizard was still open: refused or failed before the go-ahead.
    if (message.status == DMProgressStatus::finished && message.error != DMProgressError::noError) {
        showFailure(message);
        return;
    }
    if (message.status != DMProgressStatus::initialized || initialized_) {
        return;
    }
    initialized_ = true;
    if (currentPage() == loadingPage) {
        show(savePage);
    }
}

void BLBitLockerViewController::saveRecoveryKey() {
    if (!output_) {
        return;
    }
    std::optional<std::string> path =
        output_->choosePath(this, DMTr::text(BLEncryptionTexts::savePanelMessage),
                            saveFolder_ ? *saveFolder_ : Platform::current().users().processHome(),
                            BLRecoveryKeyFile::proposedName(guid()), BLEncryptionTexts::savePanelType);
    if (!path) {
        return;
    }
    if (!BLRecoveryKeyFile::write(*path, recoveryKeyText())) {
        saveViewController->lbSaveFirst->setText(DMTr::text(BLEncryptionTexts::saveFailed));
        return;
    }
    savedKeyPath_ = *path;
    saveViewController->markSaved();
}

void BLBitLockerViewController::printRecoveryKey() {
    if (output_ && output_->print(this, recoveryKeyText())) {
        saveViewController->markSaved();
    }
}

void BLBitLockerViewController::openHelp() {
    QUrl url(BLEncryptionTexts::helpURL);
    QUrlQuery query;
    query.addQueryItem("lang", QLocale().name().left(2));
    query.addQueryItem("edition", "standard");
    query.addQueryItem("version", QCoreApplication::applicationVersion());
    url.setQuery(query);
    Platform::current().workspace().openURL(url.toString().toStdString());
}

}  // namespace harbormind
