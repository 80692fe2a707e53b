#include "app/encryption/BLQueryViewController.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/common/DMTr.h"
#include "app/encryption/BLEncryptionTexts.h"

namespace harbormind {

BLQueryViewController::BLQueryViewController(QWidget* parent) : QWidget(parent) {
    lbTitle = new QLabel(DMTr::text(BLEncryptionTexts::queryTitle), this);
    QFont bold = lbTitle->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    lbTitle->setFont(bold);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbTitle);
    for (const char* line : {DMTr::text(BLEncryptionTexts::queryUnlock), DMTr::text(BLEncryptionTexts::queryDuration),
                             DMTr::text(BLEncryptionTexts::queryUnprotected)}) {
        auto* label = new QLabel(line, this);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    layout->addStretch();
}

}  // namespace harbormind
