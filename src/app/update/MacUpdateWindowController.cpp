#include "app/update/MacUpdateWindowController.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/common/DMImages.h"
#include "app/common/DMTextFormat.h"

namespace harbormind {

MacUpdateWindowController::MacUpdateWindowController(MacUpdateAppInfoObject record,
                                                     const MacUpdateUIConfiguration& configuration,
                                                     MacUpdatePresenter::WindowCallback callback)
    : record_(std::move(record)), callback_(std::move(callback)), window_(new QDialog) {
    window_->setAttribute(Qt::WA_DeleteOnClose);
    window_->setWindowTitle(QString::fromStdString(record_.appName));
    window_->resize(520, 360);

    auto* icon = new QLabel(window_);
    icon->setPixmap(DMImages::icon(record_.appIcon).pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);

    auto* lbName = new QLabel(QString::fromStdString(record_.appName));
    QFont nameFont = lbName->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.3);
    lbName->setFont(nameFont);
    lbVersion_ = new QLabel(QString::fromStdString(DMTextFormat::withText(configuration.versionText, record_.latestVersion)));
    lbReleaseNotes_ = new QLabel(QString::fromStdString(configuration.releaseNotesText));
    tvReleaseNotes_ = new QTextBrowser;
    tvReleaseNotes_->setPlainText(QString::fromStdString(record_.releaseNotes));
    tvReleaseNotes_->setOpenLinks(false);

    btnSkip_ = new QPushButton(QString::fromStdString(configuration.skipButtonTitle));
    btnLater_ = new QPushButton(QString::fromStdString(configuration.laterButtonTitle));
    btnUpdate_ = new QPushButton(QString::fromStdString(configuration.updateButtonTitle));
    btnUpdate_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnSkip_);
    buttons->addStretch();
    buttons->addWidget(btnLater_);
    buttons->addWidget(btnUpdate_);

    auto* text = new QVBoxLayout;
    text->addWidget(lbName);
    text->addWidget(lbVersion_);
    text->addSpacing(8);
    text->addWidget(lbReleaseNotes_);
    text->addWidget(tvReleaseNotes_, 1);
    text->addLayout(buttons);

    auto* layout = new QHBoxLayout(window_);
    layout->addWidget(icon);
    layout->addLayout(text, 1);

    QObject::connect(btnUpdate_, &QPushButton::clicked, window_, [this] { finish(0); });
    QObject::connect(btnLater_, &QPushButton::clicked, window_, [this] { finish(1); });
    QObject::connect(btnSkip_, &QPushButton::clicked, window_, [this] { finish(2); });
}

MacUpdateWindowController::~MacUpdateWindowController() {
    close();
}

void MacUpdateWindowController::showWindow() {
    if (window_) {
        window_->show();
        window_->raise();
        window_->activateWindow();
    }
}

void MacUpdateWindowController::detachDelegate() {
    callback_ = nullptr;
}

void MacUpdateWindowController::close() {
    if (window_) {
        window_->close();
    }
}

void MacUpdateWindowController::finish(int choice) {
    // The callback may replace this window; take what it needs first.
    MacUpdatePresenter::WindowCallback callback = std::move(callback_);
    callback_ = nullptr;
    MacUpdateAppInfoObject record = record_;
    close();
    if (callback) {
        callback(choice, record);
    }
}

}  // namespace harbormind
