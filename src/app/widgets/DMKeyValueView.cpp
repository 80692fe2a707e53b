#include "app/widgets/DMKeyValueView.h"

#include <QHBoxLayout>
#include <QLabel>

#include <algorithm>

namespace harbormind {

DMKeyValueView::DMKeyValueView(const std::string& key, QWidget* parent)
    : QWidget(parent), key_(key), lbKey_(new QLabel(this)), lbValue_(new QLabel(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 2);
    lbKey_->setText(QString::fromStdString(key) + ":");
    lbKey_->setMinimumWidth(leastKeyWidth);
    QPalette palette = lbKey_->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::PlaceholderText));
    lbKey_->setPalette(palette);
    lbValue_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lbKey_->setBuddy(lbValue_);
    layout->addWidget(lbKey_);
    layout->addWidget(lbValue_, 1);
}

std::string DMKeyValueView::value() const {
    return lbValue_->text().toStdString();
}

int DMKeyValueView::keyWidthHint() const {
    return std::max(leastKeyWidth, lbKey_->sizeHint().width());
}

void DMKeyValueView::setKeyWidth(int width) {
    lbKey_->setMinimumWidth(width);
}

void DMKeyValueView::setValue(const std::string& value) {
    lbValue_->setText(QString::fromStdString(value));
}

}  // namespace harbormind
