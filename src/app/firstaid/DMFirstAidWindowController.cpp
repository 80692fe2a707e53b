#include "app/firstaid/DMFirstAidWindowController.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include "app/shell/AppDelegate.h"
#include "app/common/DMAlertPresenter.h"
#include "app/common/DMFailureText.h"
#include "app/firstaid/DMFirstAidTexts.h"
#include "app/common/DMImages.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTexts.h"
#include "app/common/DMTr.h"
#include "platform/Platform.h"
#include "platform/Workspace.h"
#include "support/Dispatch.h"
#include "xpc/DMCheckStatus.h"

namespace harbormind {
namespace {

QString text(const char* value) {
    return QString::fromUtf8(value);
}

std::int64_t raw(DMCheckStatus status) {
    return static_cast<std::int64_t>(status);
}

}  // namespace

DMFirstAidWindowController::DMFirstAidWindowController(std::shared_ptr<DMCheckDiskWrapper> wrapper)
    : mgr(std::move(wrapper)) {}

std::shared_ptr<DMFirstAidWindowController> DMFirstAidWindowController::create(
    std::shared_ptr<DMCheckDiskWrapper> mgr, QWidget* parent, std::shared_ptr<DMAlertPresenter> presenter) {
    std::shared_ptr<DMFirstAidWindowController> controller(new DMFirstAidWindowController(std::move(mgr)));
    controller->presenter_ = std::move(presenter);
    controller->build(parent);
    return controller;
}

DMFirstAidWindowController::~DMFirstAidWindowController() {
    if (mainView) {
        mainView->deleteLater();
    }
}

void DMFirstAidWindowController::build(QWidget* parent) {
    mainView = new QDialog(parent);
    mainView->setWindowTitle(text(DMTr::text(DMFirstAidTexts::windowTitle)));
    mainView->resize(560, 400);
    imageView = new QLabel(mainView);
    imageView->setPixmap(DMImages::icon("menu_firstAid").pixmap(48, 48));
    lbTitle = new QLabel(text(DMTr::text(DMFirstAidTexts::windowTitle)), mainView);
    QFont titleFont = lbTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    lbTitle->setFont(titleFont);
    lbTip = new QLabel(text(DMTr::text(DMFirstAidTexts::preparing)), mainView);
    progress = new QProgressBar(mainView);
    progress->setRange(0, progressScale);
    progress->setValue(0);
    progress->setTextVisible(false);
    tvDetailInfo = new QPlainTextEdit(mainView);
    tvDetailInfo->setReadOnly(true);
    tvDetailInfo->setLineWrapMode(QPlainTextEdit::NoWrap);
    tvDetailInfo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    scrollView = tvDetailInfo;
    btnHelp = new QPushButton(text(DMTr::text(DMFirstAidTexts::helpButton)), mainView);
    btnComplete = new QPushButton(text(DMTr::text(DMFirstAidTexts::completeButton)), mainView);
    btnComplete->setEnabled(false);
    btnComplete->setDefault(true);

    auto* heading = new QVBoxLayout;
    heading->addWidget(lbTitle);
    heading->addWidget(lbTip);
    auto* top = new QHBoxLayout;
    top->addWidget(imageView, 0, Qt::AlignTop);
    top->addLayout(heading, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnHelp);
    buttons->addStretch(1);
    buttons->addWidget(btnComplete);
    auto* layout = new QVBoxLayout(mainView);
    layout->addLayout(top);
    layout->addWidget(progress);
    layout->addWidget(tvDetailInfo, 1);
    layout->addLayout(buttons);

    QObject::connect(btnComplete, &QPushButton::clicked, mainView, &QDialog::accept);
    std::weak_ptr<DMFirstAidWindowController> weak = weak_from_this();
    QObject::connect(btnHelp, &QPushButton::clicked, mainView, [weak] {
        if (auto self = weak.lock()) {
            self->openHelp();
        }
    });
}

void DMFirstAidWindowController::present() {
    if (!mainView) {
        return;
    }
    mainView->setWindowModality(mainView->parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
    mainView->open();
}

void DMFirstAidWindowController::close() {
    if (mainView) {
        mainView->close();
    }
}

void DMFirstAidWindowController::updateUIWithChekcInfo(const std::string& info, std::int64_t checkStatus) {
    {
        std::lock_guard lock(pendingMutex_);
        pending_.emplace_back(checkStatus, info);
        if (showScheduled_) {
            return;
        }
        showScheduled_ = true;
    }
    std::weak_ptr<DMFirstAidWindowController> weak = weak_from_this();
    Dispatch::main().async([weak] {
        if (auto self = weak.lock()) {
            self->showPending();
        }
    });
}

void DMFirstAidWindowController::showPending() {
    auto batch = std::make_shared<std::vector<std::pair<std::int64_t, std::string>>>();
    {
        std::lock_guard lock(pendingMutex_);
        batch->swap(pending_);
        // Lines that arrive while this batch is shown wait for it: they are shown after it.
        showScheduled_ = !batch->empty();
    }
    if (!batch->empty()) {
        showBatch(batch, 0);
    }
}

void DMFirstAidWindowController::showBatch(std::shared_ptr<const std::vector<std::pair<std::int64_t, std::string>>> batch,
                                           std::size_t from) {
    // A thousand lines take the text view a few milliseconds to lay out; a hundred thousand at
    // once would hold the window for most of a second.
    constexpr std::size_t linesPerTurn = 1000;
    const std::size_t end = std::min(batch->size(), from + linesPerTurn);
    if (mainView) {
        // Consecutive lines go into the view in one insertion.
        std::string lines;
        for (std::size_t i = from; i < end; ++i) {
            const auto& [status, info] = (*batch)[i];
            if (status == raw(DMCheckStatus::checkRuning)) {
                lines += info;
                continue;
            }
            if (!lines.empty()) {
                show(raw(DMCheckStatus::checkRuning), lines);
                lines.clear();
            }
            show(status, info);
        }
        if (!lines.empty()) {
            show(raw(DMCheckStatus::checkRuning), lines);
        }
    }
    std::weak_ptr<DMFirstAidWindowController> weak = weak_from_this();
    Dispatch::main().async([weak, batch = std::move(batch), end] {
        if (auto self = weak.lock()) {
            if (end < batch->size()) {
                self->showBatch(batch, end);
            } else {
                self->showPending();
            }
        }
    });
}

void DMFirstAidWindowController::show(std::int64_t checkStatus, const std::string& info) {
    switch (static_cast<DMCheckStatus>(checkStatus)) {
        case DMCheckStatus::checkStart:
            lbTitle->setText(text(DMTr::text(DMFirstAidTexts::startTitle)));
            progress->setValue(progressScale / 5);
            tvDetailInfo->setPlainText(text(DMTr::text(DMFirstAidTexts::startText)));
            tvDetailInfo->verticalScrollBar()->setValue(tvDetailInfo->verticalScrollBar()->maximum());
            return;
        case DMCheckStatus::checkRuning:
            lbTitle->setText(text(DMTr::text(DMFirstAidTexts::preparing)));
            progress->setValue(progressScale / 2);
            append(info);
            return;
        case DMCheckStatus::checkEnd:
            lbTitle->setText(text(DMTr::text(DMFirstAidTexts::completeTitle)));
            progress->setValue(progressScale);
            // The verdict ("Errors remain") stays in sight above the output.
            if (!info.empty()) {
                lbTip->setText(QString::fromStdString(info));
            }
            append(DMTr::text(DMFirstAidTexts::endText));
            btnComplete->setEnabled(true);
            return;
        case DMCheckStatus::checkStop:
            showStopped(info);
            append(info + "\n");
            btnComplete->setEnabled(true);
            return;
    }
}

void DMFirstAidWindowController::showStopped(const std::string& reason) {
    // A check that did not run to its end must not look finished: no full bar, no "Complete".
    lbTitle->setText(QCoreApplication::translate(DMTr::context, "The check did not complete"));
    // A refused authorization says what to do about it; the daemon's words stay in the output.
    const std::string tip = DMFailureText::isNotAuthorized(reason)
                                ? DMFailureText::notAllowed(DMFailureText::Action::check)
                                : reason;
    lbTip->setText(QString::fromStdString(tip));
    lbTip->setWordWrap(true);
    lbTip->setTextInteractionFlags(Qt::TextSelectableByMouse);
    progress->setValue(0);
    progress->setVisible(false);
    imageView->setPixmap(mainView->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(48, 48));
}

void DMFirstAidWindowController::append(const std::string& info) {
    QTextCursor end = tvDetailInfo->textCursor();
    end.movePosition(QTextCursor::End);
    end.insertText(QString::fromStdString(info));
    tvDetailInfo->setTextCursor(end);
    tvDetailInfo->verticalScrollBar()->setValue(tvDetailInfo->verticalScrollBar()->maximum());
}

void DMFirstAidWindowController::openHelp() {
    std::string query =
        DMTextFormat::withTexts(DMFirstAidTexts::helpQueryFormat, {"en", "standard", AppDelegate::version});
    std::string url = std::string(DMFirstAidTexts::helpURL) + query;
    // Starting a browser may take a moment; a failure shows the address to copy.
    std::weak_ptr<DMFirstAidWindowController> weak = weak_from_this();
    Dispatch::global()->async([weak, url] {
        if (Platform::current().workspace().openURL(url)) {
            return;
        }
        Dispatch::main().async([weak, url] {
            auto self = weak.lock();
            if (!self || !self->mainView) {
                return;
            }
            DMAlert alert{DMTr::text(DMTexts::helpFailedTitle), DMTextFormat::withText(DMTr::text(DMTexts::helpFailedTextFormat), url),
                          {DMTr::text(DMTexts::okButton)}};
            if (self->presenter_) {
                self->presenter_->present(alert, self->mainView, nullptr);
            } else {
                self->lbTip->setText(QString::fromStdString(alert.text));
            }
        });
    });
}

}  // namespace harbormind
