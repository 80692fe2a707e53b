#include "app/cleaning/CDFileMessageShowView.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/cleaning/CDFileDates.h"
#include "app/cleaning/CDTexts.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTr.h"
#include "cleaning/FolderTreeNode.h"
#include "support/DMByteCountFormatter.h"

namespace harbormind {
namespace {

QString text(const char* format, const std::string& value) {
    return QString::fromStdString(DMTextFormat::withText(format, value));
}

QString count(const char* format, long long value) {
    return QString::fromStdString(DMTextFormat::withInteger(format, value));
}

}  // namespace

CDFileMessageShowView::CDFileMessageShowView(QWidget* parent)
    : QWidget(parent),
      ivIcon_(new QLabel(this)),
      lbName_(new QLabel(this)),
      lbSize_(new QLabel(this)),
      lbPath_(new QLabel(this)),
      lbCreated_(new QLabel(this)),
      lbModified_(new QLabel(this)),
      lbFolders_(new QLabel(this)),
      lbFiles_(new QLabel(this)),
      btnOpenFinder_(new QPushButton(DMTr::text(CDTexts::open), this)),
      btnRemove_(new QPushButton(DMTr::text(CDTexts::remove), this)) {
    setObjectName(QStringLiteral("fileDetails"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 8, 4, 8);
    layout->setSpacing(6);
    ivIcon_->setFixedSize(64, 64);
    layout->addWidget(ivIcon_, 0, Qt::AlignHCenter);
    for (QLabel* label : {lbName_, lbSize_, lbPath_, lbCreated_, lbModified_, lbFolders_, lbFiles_}) {
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(label);
    }
    layout->addStretch(1);
    auto* buttons = new QHBoxLayout();
    buttons->addWidget(btnOpenFinder_);
    buttons->addWidget(btnRemove_);
    layout->addLayout(buttons);
    connect(btnOpenFinder_, &QPushButton::clicked, this, [this] {
        if (data_ != nullptr && onOpen) {
            onOpen(data_);
        }
    });
    connect(btnRemove_, &QPushButton::clicked, this, [this] {
        if (data_ != nullptr && onRemove) {
            onRemove(data_);
        }
    });
    setData(nullptr);
}

void CDFileMessageShowView::setData(FolderTreeNode* node) {
    data_ = node;
    setActionsEnabled(node != nullptr);
    if (node == nullptr) {
        for (QLabel* label : {lbName_, lbSize_, lbPath_, lbCreated_, lbModified_, lbFolders_, lbFiles_}) {
            label->clear();
        }
        ivIcon_->clear();
        return;
    }
    const std::string path = node->fullpath();
    lbName_->setText(text(DMTr::text(CDTexts::detailName), std::string(node->strFolderName())));
    lbSize_->setText(text(DMTr::text(CDTexts::detailSize), DMByteCountFormatter::string(node->iTotalSize)));
    lbPath_->setText(text(DMTr::text(CDTexts::detailPath), path));
    lbCreated_->setText(text(DMTr::text(CDTexts::detailCreated), CDFileDates::created(path)));
    lbModified_->setText(text(DMTr::text(CDTexts::detailModified), CDFileDates::modified(path)));
    const bool folder = node->isFolder && !node->isLink;
    lbFolders_->setText(folder ? count(DMTr::text(CDTexts::detailFolders), node->iFolderCount) : QString());
    lbFiles_->setText(folder ? count(DMTr::text(CDTexts::detailFiles), node->iFileCount) : QString());
    lbFolders_->setVisible(folder);
    lbFiles_->setVisible(folder);
    ivIcon_->setPixmap(QFileIconProvider().icon(QFileInfo(QString::fromStdString(path))).pixmap(64, 64));
}

void CDFileMessageShowView::setActionsEnabled(bool enabled) {
    btnOpenFinder_->setEnabled(enabled && data_ != nullptr);
    btnRemove_->setEnabled(enabled && data_ != nullptr);
}

QStringList CDFileMessageShowView::lines() const {
    QStringList result;
    for (QLabel* label : {lbName_, lbSize_, lbPath_, lbCreated_, lbModified_, lbFolders_, lbFiles_}) {
        if (!label->text().isEmpty()) {
            result << label->text();
        }
    }
    return result;
}

}  // namespace harbormind
