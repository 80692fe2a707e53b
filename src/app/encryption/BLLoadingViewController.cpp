#include "app/encryption/BLLoadingViewController.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "app/common/DMTr.h"
#include "app/encryption/BLEncryptionTexts.h"

namespace harbormind {

BLLoadingViewController::BLLoadingViewController(QWidget* parent) : QWidget(parent) {
    lbTitle = new QLabel(DMTr::text(BLEncryptionTexts::loadingTitle), this);
    QFont bold = lbTitle->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    lbTitle->setFont(bold);
    lbWait = new QLabel(DMTr::text(BLEncryptionTexts::loadingWait), this);
    auto* busy = new QProgressBar(this);
    busy->setRange(0, 0);
    busy->setTextVisible(false);
    // "{waring}" in the text marks where the warning sign goes.
    QString warning = QString::fromUtf8(DMTr::text(BLEncryptionTexts::loadingWarning));
    warning.replace(QStringLiteral("{waring}"), QStringLiteral("\u26A0"));
    lbWarning = new QLabel(warning, this);
    lbRequirements = new QLabel(QString("<a href=\"%1\">%2</a>")
                                    .arg(QString::fromUtf8(BLEncryptionTexts::requirementsURL),
                                         QString::fromUtf8(DMTr::text(BLEncryptionTexts::loadingRequirements))),
                                this);
    lbRequirements->setOpenExternalLinks(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbTitle);
    layout->addWidget(lbWait);
    layout->addWidget(busy);
    layout->addWidget(lbWarning);
    layout->addWidget(lbRequirements);
    layout->addStretch();
}

}  // namespace harbormind
