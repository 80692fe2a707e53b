#include "app/encryption/BLSaveViewController.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/DMTr.h"
#include "app/encryption/BLEncryptionTexts.h"

namespace harbormind {

BLSaveViewController::BLSaveViewController(QWidget* parent) : QWidget(parent) {
    lbTitle = new QLabel(DMTr::text(BLEncryptionTexts::saveTitle), this);
    QFont bold = lbTitle->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    lbTitle->setFont(bold);
    lbExplanation = new QLabel(DMTr::text(BLEncryptionTexts::saveExplanation), this);
    lbExplanation->setWordWrap(true);
    btnSave = new QPushButton(DMTr::text(BLEncryptionTexts::saveToFile), this);
    btnPrint = new QPushButton(DMTr::text(BLEncryptionTexts::printKey), this);
    lbFindLater = new QLabel(
        QString("<a href=\"%1\">%2</a>")
            .arg(QString::fromUtf8(BLEncryptionTexts::findKeyURL), QString::fromUtf8(DMTr::text(BLEncryptionTexts::findKeyLater))), this);
    lbFindLater->setOpenExternalLinks(true);
    lbSaveFirst = new QLabel(DMTr::text(BLEncryptionTexts::saveFirst), this);
    lbSaveFirst->setStyleSheet("color: #d0312d;");
    lbSaveFirst->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbTitle);
    layout->addWidget(lbExplanation);
    layout->addSpacing(8);
    layout->addWidget(btnSave);
    layout->addWidget(btnPrint);
    layout->addWidget(lbFindLater);
    layout->addWidget(lbSaveFirst);
    layout->addStretch();
}

void BLSaveViewController::markSaved() {
    saved_ = true;
    lbSaveFirst->hide();
}

}  // namespace harbormind
