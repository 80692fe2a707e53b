#include "app/widgets/DMCapacityMapView.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/widgets/DMProgressView.h"
#include "app/common/DMTexts.h"
#include "app/common/DMTr.h"

namespace harbormind {

DMCapacityMapView::DMCapacityMapView(QWidget* parent)
    : QWidget(parent),
      lbTitle_(new QLabel(this)),
      lbSubtitle_(new QLabel(this)),
      lbNotAvailable_(new QLabel(QString::fromUtf8(DMTr::text(DMTexts::notAvailable)), this)),
      pvCapacity_(new DMProgressView(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    QFont titleFont = lbTitle_->font();
    titleFont.setBold(true);
    lbTitle_->setFont(titleFont);
    lbTitle_->setMinimumWidth(10);
    lbSubtitle_->setMinimumWidth(10);
    QPalette palette = lbSubtitle_->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::PlaceholderText));
    lbSubtitle_->setPalette(palette);
    lbNotAvailable_->setPalette(palette);
    lbNotAvailable_->setVisible(false);
    layout->addWidget(lbTitle_);
    layout->addWidget(pvCapacity_);
    layout->addWidget(lbNotAvailable_);
    layout->addWidget(lbSubtitle_);
}

void DMCapacityMapView::setTitle(const std::string& title) {
    lbTitle_->setText(QString::fromStdString(title));
    lbTitle_->setToolTip(lbTitle_->text());
}

void DMCapacityMapView::setSubtitle(const std::string& subtitle) {
    lbSubtitle_->setText(QString::fromStdString(subtitle));
    lbSubtitle_->setToolTip(lbSubtitle_->text());
}

void DMCapacityMapView::setUsedShare(double share) {
    pvCapacity_->setSections({{QColor(QString::fromUtf8(DMTr::text(DMTexts::capacityMapUsedColour))), share}});
}

void DMCapacityMapView::setAvailable(bool available) {
    isAvailable_ = available;
    pvCapacity_->setVisible(available);
    lbNotAvailable_->setVisible(!available);
}

std::string DMCapacityMapView::title() const {
    return lbTitle_->text().toStdString();
}

std::string DMCapacityMapView::subtitle() const {
    return lbSubtitle_->text().toStdString();
}

}  // namespace harbormind
