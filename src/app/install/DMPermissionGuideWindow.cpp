#include "app/install/DMPermissionGuideWindow.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/common/DMImages.h"
#include "app/common/DMShellTexts.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTr.h"

namespace harbormind {

DMPermissionGuideWindow::DMPermissionGuideWindow(std::function<DMMissingPieces()> check,
                                                 std::function<void()> install, QWidget* parent)
    : QDialog(parent),
      check_(std::move(check)),
      lbSubtitle_(new QLabel(this)),
      sections_(new QVBoxLayout),
      btnInstall_(new QPushButton(QString::fromUtf8(DMTr::text(DMShellTexts::guideInstall)), this)),
      btnCheckAgain_(new QPushButton(QString::fromUtf8(DMTr::text(DMShellTexts::guideCheckAgain)), this)),
      btnFinish_(new QPushButton(QString::fromUtf8(DMTr::text(DMShellTexts::guideFinish)), this)) {
    setWindowTitle(QString::fromUtf8(DMTr::text(DMShellTexts::guideTitle)));
    setMinimumWidth(520);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    auto* header = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(DMImages::icon("harbormind").pixmap(48, 48));
    auto* title =
        new QLabel(QStringLiteral("<b>%1</b>").arg(QString::fromUtf8(DMTr::text(DMShellTexts::guideTitle))), this);
    QFont larger = title->font();
    larger.setPointSizeF(larger.pointSizeF() * 1.4);
    title->setFont(larger);
    header->addWidget(icon);
    header->addWidget(title, 1);
    layout->addLayout(header);
    lbSubtitle_->setWordWrap(true);
    layout->addWidget(lbSubtitle_);
    layout->addLayout(sections_);
    layout->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnInstall_);
    buttons->addStretch(1);
    buttons->addWidget(btnCheckAgain_);
    buttons->addWidget(btnFinish_);
    layout->addLayout(buttons);
    btnFinish_->setDefault(true);

    QObject::connect(btnInstall_, &QPushButton::clicked, this, [install = std::move(install)] {
        if (install) {
            install();
        }
    });
    QObject::connect(btnCheckAgain_, &QPushButton::clicked, this, [this] { refresh(); });
    QObject::connect(btnFinish_, &QPushButton::clicked, this, &QDialog::accept);
    refresh();
}

void DMPermissionGuideWindow::refresh() {
    shown_ = check_ ? check_() : DMMissingPieces{};
    while (QLayoutItem* item = sections_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    lbSubtitle_->setText(
        QString::fromUtf8(shown_.any() ? DMTr::text(DMShellTexts::guideSubtitle) : DMTr::text(DMShellTexts::guideComplete)));
    if (shown_.ntfsDriver) {
        addSection(QString::fromUtf8(DMTr::text(DMShellTexts::guideDriverHeading)),
                   QString::fromUtf8(DMTr::text(DMShellTexts::guideDriverText)));
    }
    if (shown_.helperService) {
        addSection(QString::fromUtf8(DMTr::text(DMShellTexts::guideHelperHeading)),
                   QString::fromStdString(
                       DMTextFormat::withText(DMTr::text(DMShellTexts::guideHelperTextFormat), *shown_.helperService)));
    }
    btnInstall_->setVisible(shown_.ntfsDriver);
}

void DMPermissionGuideWindow::addSection(const QString& heading, const QString& text) {
    auto* section = new QFrame(this);
    section->setObjectName(QStringLiteral("guideSection"));
    section->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(section);
    auto* title = new QLabel(QStringLiteral("<b>%1</b>").arg(heading.toHtmlEscaped()), section);
    title->setObjectName(QStringLiteral("guideHeading"));
    auto* body = new QLabel(text, section);
    body->setTextFormat(Qt::PlainText);
    body->setWordWrap(true);
    body->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(title);
    layout->addWidget(body);
    sections_->addWidget(section);
}

QStringList DMPermissionGuideWindow::headings() const {
    QStringList result;
    for (QLabel* label : findChildren<QLabel*>(QStringLiteral("guideHeading"))) {
        QString text = label->text();
        text.remove(QStringLiteral("<b>")).remove(QStringLiteral("</b>"));
        result << text;
    }
    return result;
}

}  // namespace harbormind
