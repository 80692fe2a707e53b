#include "app/disktools/DMDiskImageWindowController.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/DMTextFormat.h"
#include "app/common/DMTr.h"
#include "support/DMByteCountFormatter.h"

namespace harbormind {
namespace {

constexpr int progressSteps = 1000;

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

QString endText(const DMDiskImageStatus& status, DMDiskImageWindowController::Mode mode) {
    using S = DMDiskImageStatus::State;
    const bool create = mode == DMDiskImageWindowController::Mode::create;
    if (status.state == S::finished) {
        QString text = create ? DMTr::qtext("The image is made; it takes %1.")
                                    .arg(QString::fromStdString(
                                        DMByteCountFormatter::string(static_cast<std::int64_t>(status.imageBytes))))
                              : DMTr::qtext("The image is written.");
        if (status.unreadableBytes > 0) {
            text += " " + DMTr::qtext("%1 could not be read and were written as zeros.")
                              .arg(QString::fromStdString(DMByteCountFormatter::string(
                                  static_cast<std::int64_t>(status.unreadableBytes))));
        }
        return text;
    }
    if (status.state == S::stopped) {
        return DMTr::qtext("Stopped after %1.").arg(QString::fromStdString(status.progressText()));
    }
    if (status.reason.empty()) {
        return DMTr::qtext("The daemon has no record of the copy.");
    }
    return DMTr::qtext("It failed: %1").arg(QString::fromStdString(status.reason));
}

}  // namespace

DMDiskImageWindowController::DMDiskImageWindowController(Mode mode, DMEraseTarget target, Go go, ChooseFile choose,
                                                         QWidget* parent)
    : QDialog(parent),
      mode_(mode),
      target_(std::move(target)),
      go_(std::move(go)),
      choose_(std::move(choose)),
      tfFile_(new QLineEdit(this)),
      btnChoose_(new QPushButton(DMTr::qtext("Choose..."), this)),
      cbCompress_(new QCheckBox(DMTr::qtext("Compress (zstd)"), this)),
      progress_(new QProgressBar(this)),
      lbStatus_(new QLabel(this)),
      btnCancel_(new QPushButton(DMTr::qtext("Cancel"), this)),
      btnGo_(new QPushButton(mode == Mode::create ? DMTr::qtext("Create") : DMTr::qtext("Restore"), this)) {
    const bool create = mode_ == Mode::create;
    const std::string title = DMTextFormat::withText(create ? createTitle : restoreTitle, target_.name);
    setWindowTitle(QString::fromStdString(title));
    setMinimumWidth(520);
    auto* layout = new QVBoxLayout(this);
    // Wrapped texts that grow (the end's report) make the sheet taller, never overlap.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    auto* heading = new QLabel(QString::fromStdString(title), this);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    heading->setFont(bold);
    layout->addWidget(heading);
    auto* about = new QLabel(
        QString::fromStdString(DMTextFormat::withText(create ? createText : restoreText, target_.title())), this);
    about->setWordWrap(true);
    layout->addWidget(about);
    auto* file = new QHBoxLayout();
    file->addWidget(new QLabel(DMTr::qtext("Image file:"), this));
    file->addWidget(tfFile_, 1);
    file->addWidget(btnChoose_);
    layout->addLayout(file);
    cbCompress_->setVisible(create);
    layout->addWidget(cbCompress_);
    progress_->setRange(0, progressSteps);
    progress_->setVisible(false);
    layout->addWidget(progress_);
    lbStatus_->setWordWrap(true);
    layout->addWidget(lbStatus_);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(btnCancel_);
    buttons->addWidget(btnGo_);
    layout->addLayout(buttons);
    btnGo_->setDefault(true);

    connect(tfFile_, &QLineEdit::textChanged, this, [this] { check(); });
    connect(cbCompress_, &QCheckBox::toggled, this, [this](bool on) {
        std::string path = tfFile_->text().toStdString();
        if (on && endsWith(path, ".img")) {
            tfFile_->setText(QString::fromStdString(path + ".zst"));
        } else if (!on && endsWith(path, ".img.zst")) {
            tfFile_->setText(QString::fromStdString(path.substr(0, path.size() - 4)));
        }
    });
    connect(btnChoose_, &QPushButton::clicked, this, [this] {
        std::string chosen = choose_ ? choose_(this, tfFile_->text().toStdString()) : std::string();
        if (!chosen.empty()) {
            tfFile_->setText(QString::fromStdString(chosen));
        }
    });
    connect(btnCancel_, &QPushButton::clicked, this, [this] {
        if (working_ && stop_) {
            btnCancel_->setEnabled(false);
            stop_();
            return;
        }
        reject();
    });
    connect(btnGo_, &QPushButton::clicked, this, [this] {
        if (!working_ && btnGo_->isEnabled() && go_) {
            go_({tfFile_->text().toStdString(), cbCompress_->isChecked()});
        }
    });
    check();
}

void DMDiskImageWindowController::check() {
    btnGo_->setEnabled(!working_ && !tfFile_->text().trimmed().isEmpty());
}

void DMDiskImageWindowController::working(std::function<void()> stop) {
    working_ = true;
    stop_ = std::move(stop);
    tfFile_->setEnabled(false);
    btnChoose_->setEnabled(false);
    cbCompress_->setEnabled(false);
    btnGo_->setEnabled(false);
    btnCancel_->setText(DMTr::qtext("Stop"));
    progress_->setVisible(true);
    progress_->setValue(0);
    lbStatus_->setText(mode_ == Mode::create ? DMTr::qtext("Making the image...") : DMTr::qtext("Writing the image..."));
    adjustSize();
}

void DMDiskImageWindowController::showProgress(const DMDiskImageStatus& status) {
    if (status.totalBytes > 0) {
        progress_->setValue(static_cast<int>(static_cast<double>(status.doneBytes) * progressSteps /
                                             static_cast<double>(status.totalBytes)));
    }
    lbStatus_->setText(QString::fromStdString(status.progressText()));
}

void DMDiskImageWindowController::finished(const DMDiskImageStatus& status) {
    working_ = false;
    if (status.state == DMDiskImageStatus::State::finished) {
        progress_->setValue(progressSteps);
    }
    lbStatus_->setText(endText(status, mode_));
    btnGo_->setVisible(false);
    btnCancel_->setEnabled(true);
    btnCancel_->setText(DMTr::qtext("Done"));
    stop_ = nullptr;
    adjustSize();
}

}  // namespace harbormind
