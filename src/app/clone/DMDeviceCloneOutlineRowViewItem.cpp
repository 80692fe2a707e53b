#include "app/clone/DMDeviceCloneOutlineRowViewItem.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/common/DMTr.h"
#include "support/DMByteCountFormatter.h"
#include "app/common/DMImages.h"
#include "drivemodel/DMCloneTexts.h"

namespace harbormind {

DMDeviceCloneOutlineRowViewItem::DMDeviceCloneOutlineRowViewItem(const std::string& deviceName,
                                                                 const std::string& displayName,
                                                                 std::int64_t size, const std::string& icon,
                                                                 QWidget* parent)
    : QWidget(parent), diskSize(size), strDeviceName(deviceName) {
    diskImageView = new QLabel(this);
    diskImageView->setPixmap(DMImages::icon(icon).pixmap(36, 36));
    lbDiskName = new QLabel(QString::fromStdString(displayName), this);
    QFont bold = lbDiskName->font();
    bold.setBold(true);
    lbDiskName->setFont(bold);
    lbDiskSize = new QLabel(QString::fromStdString(std::string(DMTr::text(DMCloneTexts::capacity)) + ": " +
                                                   DMByteCountFormatter::string(size)),
                            this);
    lbUnavailable = new QLabel(this);
    lbUnavailable->setWordWrap(true);
    lbUnavailable->hide();
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(lbDiskName);
    texts->addWidget(lbDiskSize);
    texts->addWidget(lbUnavailable);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 4, 8, 4);
    row->addWidget(diskImageView);
    row->addLayout(texts, 1);
}

void DMDeviceCloneOutlineRowViewItem::setUnavailable(const QString& reason) {
    lbUnavailable->setText(reason);
    lbUnavailable->show();
    setEnabled(false);
    setToolTip(reason);
}

}  // namespace harbormind
