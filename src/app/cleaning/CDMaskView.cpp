#include "app/cleaning/CDMaskView.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/cleaning/CDTexts.h"
#include "app/common/DMTr.h"

namespace harbormind {

CDMaskView::CDMaskView(QWidget* covered)
    : QWidget(covered),
      lbTip_(new QLabel(this)),
      lbFileName_(new QLabel(this)),
      progress_(new QProgressBar(this)),
      btnStopScan_(new QPushButton(DMTr::text(CDTexts::stopTheScan), this)) {
    setObjectName(QStringLiteral("cleaningMask"));
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("maskPanel"));
    panel->setAutoFillBackground(true);
    panel->setFixedWidth(420);
    auto* inner = new QVBoxLayout(panel);
    inner->setContentsMargins(24, 20, 24, 20);
    inner->setSpacing(10);
    lbTip_->setWordWrap(true);
    QFont tipFont = lbTip_->font();
    tipFont.setBold(true);
    lbTip_->setFont(tipFont);
    lbFileName_->setTextFormat(Qt::PlainText);
    lbFileName_->setMinimumWidth(360);
    progress_->setRange(0, 0);
    progress_->setTextVisible(false);
    inner->addWidget(lbTip_);
    inner->addWidget(progress_);
    inner->addWidget(lbFileName_);
    inner->addWidget(btnStopScan_, 0, Qt::AlignHCenter);
    auto* outer = new QVBoxLayout(this);
    outer->addStretch(1);
    outer->addWidget(panel, 0, Qt::AlignHCenter);
    outer->addStretch(1);
    connect(btnStopScan_, &QPushButton::clicked, this, [this] {
        if (onStop) {
            onStop();
        }
    });
    covered->installEventFilter(this);
    hide();
}

void CDMaskView::cover() {
    // A long tip (a deep path) wraps; its height follows the panel's fixed width.
    lbTip_->setMinimumHeight(lbTip_->heightForWidth(lbFileName_->minimumWidth()));
    setGeometry(parentWidget()->rect());
    raise();
    show();
}

void CDMaskView::showScanning(const QString& tip) {
    lbTip_->setText(tip);
    lbFileName_->clear();
    btnStopScan_->setText(DMTr::text(CDTexts::stopTheScan));
    btnStopScan_->setEnabled(true);
    btnStopScan_->setVisible(true);
    cover();
}

void CDMaskView::showStopping() {
    btnStopScan_->setText(DMTr::text(CDTexts::stopping));
    btnStopScan_->setEnabled(false);
}

void CDMaskView::showDeleting() {
    lbTip_->setText(DMTr::text(CDTexts::deleting));
    lbFileName_->clear();
    btnStopScan_->setVisible(false);
    cover();
}

void CDMaskView::setFileName(const QString& name) {
    lbFileName_->setText(lbFileName_->fontMetrics().elidedText(name, Qt::ElideMiddle, lbFileName_->width()));
}

void CDMaskView::closeMask() {
    hide();
}

QString CDMaskView::tip() const {
    return lbTip_->text();
}

QString CDMaskView::fileName() const {
    return lbFileName_->text();
}

bool CDMaskView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible()) {
        setGeometry(parentWidget()->rect());
    }
    return QWidget::eventFilter(watched, event);
}

void CDMaskView::paintEvent(QPaintEvent* /*event*/) {
    // A veil over the window, in the palette's own shadow so it reads on light and dark themes.
    QPainter painter(this);
    QColor veil = palette().color(QPalette::Shadow);
    veil.setAlpha(110);
    painter.fillRect(rect(), veil);
}

}  // namespace harbormind
