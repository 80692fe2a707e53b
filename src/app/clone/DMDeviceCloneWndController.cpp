#include "app/clone/DMDeviceCloneWndController.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/DMTr.h"
#include "support/DMByteCountFormatter.h"
#include "app/clone/DMDeviceCloneOutlineRowViewItem.h"
#include "app/common/DMImages.h"
#include "drivemodel/DMCloneTexts.h"

namespace harbormind {

DMDeviceCloneWndController::DMDeviceCloneWndController(DMCloneDrive source,
                                                       std::vector<DMCloneDrive> candidates,
                                                       std::function<void()> openHelp, QWidget* parent)
    : QDialog(parent),
      disksSource(std::move(candidates)),
      sourseDeviceObj(std::move(source)),
      openHelp_(std::move(openHelp)) {
    setFixedSize(width, height);
    lbDestinDeviceTitle = new QLabel(DMTr::text(DMCloneTexts::destinTitle), this);
    lbTip = new QLabel(DMTr::text(DMCloneTexts::capacityTip), this);
    lbTip->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sourcePanel());
    layout->addWidget(lbDestinDeviceTitle);
    layout->addWidget(outlineView(), 1);
    layout->addWidget(lbTip);
    layout->addWidget(buttonRow());
}

QWidget* DMDeviceCloneWndController::sourcePanel() {
    auto* panel = new QWidget(this);
    lbSourseDeviceTip = new QLabel(DMTr::text(DMCloneTexts::sourceDeviceTip), panel);
    sourseImageView = new QLabel(panel);
    sourseImageView->setPixmap(DMImages::icon(sourseDeviceObj.icon).pixmap(48, 48));
    lbSourseDeviceName = new QLabel(QString::fromStdString(sourseDeviceObj.name), panel);
    QFont bold = lbSourseDeviceName->font();
    bold.setBold(true);
    lbSourseDeviceName->setFont(bold);
    lbSourseDeviceSzie =
        new QLabel(QString::fromStdString(DMByteCountFormatter::string(sourseDeviceObj.size)), panel);
    auto* texts = new QVBoxLayout;
    texts->addWidget(lbSourseDeviceName);
    texts->addWidget(lbSourseDeviceSzie);
    auto* row = new QHBoxLayout;
    row->addWidget(sourseImageView);
    row->addLayout(texts, 1);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(lbSourseDeviceTip);
    column->addLayout(row);
    return panel;
}

QListWidget* DMDeviceCloneWndController::outlineView() {
    if (outlineView_) {
        return outlineView_;
    }
    outlineView_ = new QListWidget(this);
    for (const DMCloneDrive& candidate : disksSource) {
        auto* item = new QListWidgetItem(outlineView_);
        auto* row = new DMDeviceCloneOutlineRowViewItem(candidate.identifier, candidate.name, candidate.size,
                                                        candidate.icon);
        if (QString reason = unavailableReason(candidate); !reason.isEmpty()) {
            row->setUnavailable(reason);
            item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
            item->setToolTip(reason);
        }
        item->setSizeHint(row->sizeHint());
        outlineView_->setItemWidget(item, row);
    }
    connect(outlineView_, &QListWidget::currentRowChanged, this,
            [this](int row) { btnStartClone->setEnabled(row >= 0); });
    return outlineView_;
}

QWidget* DMDeviceCloneWndController::buttonRow() {
    auto* row = new QWidget(this);
    btnHelp = new QPushButton(DMTr::text(DMCloneTexts::help), row);
    btnCancel = new QPushButton(DMTr::text(DMCloneTexts::cancel), row);
    btnStartClone = new QPushButton(DMTr::text(DMCloneTexts::startClone), row);
    btnStartClone->setEnabled(false);
    btnStartClone->setDefault(true);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(btnHelp);
    layout->addStretch(1);
    layout->addWidget(btnCancel);
    layout->addWidget(btnStartClone);
    connect(btnHelp, &QPushButton::clicked, this, [this] {
        if (openHelp_) {
            openHelp_();
        }
    });
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(0); });
    connect(btnStartClone, &QPushButton::clicked, this, [this] { startClone(); });
    return row;
}

void DMDeviceCloneWndController::selectRow(int row) {
    QListWidgetItem* item = outlineView()->item(row);
    if (item && (item->flags() & Qt::ItemIsEnabled)) {
        outlineView()->setCurrentRow(row);
    }
}

QString DMDeviceCloneWndController::tr(const char* text) {
    return QCoreApplication::translate(DMTr::context, text);
}

QString DMDeviceCloneWndController::unavailableReason(const DMCloneDrive& candidate) const {
    if (candidate.size >= sourseDeviceObj.size) {
        return {};
    }
    return tr("Too small: the source holds %1.")
        .arg(QString::fromStdString(DMByteCountFormatter::string(sourseDeviceObj.size)));
}

void DMDeviceCloneWndController::startClone() {
    int row = outlineView()->currentRow();
    if (row < 0 || row >= static_cast<int>(disksSource.size()) ||
        !unavailableReason(disksSource[static_cast<std::size_t>(row)]).isEmpty()) {
        return;
    }
    selectDrive = disksSource[static_cast<std::size_t>(row)];
    flag = true;
    done(1);
}

}  // namespace harbormind
