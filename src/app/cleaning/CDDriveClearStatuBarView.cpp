#include "app/cleaning/CDDriveClearStatuBarView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "app/cleaning/CDTexts.h"
#include "app/common/DMTr.h"

namespace harbormind {

CDDriveClearStatuBarView::CDDriveClearStatuBarView(QWidget* parent)
    : QWidget(parent), lbStatus_(new QLabel(this)), btnClean_(new QPushButton(DMTr::text(CDTexts::clean), this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    lbStatus_->setObjectName(QStringLiteral("driveClearStatus"));
    layout->addWidget(lbStatus_, 1);
    btnClean_->setDefault(true);
    layout->addWidget(btnClean_);
    connect(btnClean_, &QPushButton::clicked, this, [this] {
        if (onClean) {
            onClean();
        }
    });
}

void CDDriveClearStatuBarView::setStatus(const QString& text) {
    lbStatus_->setText(text);
}

QString CDDriveClearStatuBarView::status() const {
    return lbStatus_->text();
}

}  // namespace harbormind
