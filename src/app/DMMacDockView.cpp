#include "app/DMMacDockView.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "app/DMImages.h"
#include "app/DMMacDockViewDelegate.h"

namespace harbormind {
namespace {

constexpr int baseIconSize = 36;

}  // namespace

DMMacDockView::DMMacDockView(QWidget* parent) : QWidget(parent), row_(new QWidget(this)), lbItemName_(new QLabel(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 6);
    layout->setSpacing(2);
    auto* rowLayout = new QHBoxLayout(row_);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(6);
    layout->addWidget(row_, 0, Qt::AlignHCenter);
    lbItemName_->setAlignment(Qt::AlignCenter);
    lbItemName_->setMinimumHeight(lbItemName_->fontMetrics().height());
    QFont font = lbItemName_->font();
    font.setBold(true);
    lbItemName_->setFont(font);
    layout->addWidget(lbItemName_);
    setAttribute(Qt::WA_Hover);
}

void DMMacDockView::setItems(std::vector<DMMacDockViewBaseItem> items) {
    for (QToolButton* button : buttons_) {
        button->deleteLater();
    }
    buttons_.clear();
    items_ = std::move(items);
    auto* rowLayout = static_cast<QHBoxLayout*>(row_->layout());
    for (std::size_t index = 0; index < items_.size(); ++index) {
        const DMMacDockViewBaseItem& item = items_[index];
        auto* button = new QToolButton(row_);
        button->setObjectName(QString::fromStdString(item.name));
        button->setText(QString::fromStdString(item.name));
        button->setToolTip(QString::fromStdString(item.name));
        button->setAccessibleName(QString::fromStdString(item.name));
        button->setIcon(DMImages::icon(item.icon));
        button->setIconSize(QSize(baseIconSize, baseIconSize));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setMinimumWidth(76);
        button->installEventFilter(this);
        QObject::connect(button, &QToolButton::clicked, this, [this, index] {
            if (delegate_ != nullptr && index < items_.size() && !delegate_->isItemDisabled(items_[index])) {
                delegate_->itemClicked(items_[index]);
            }
        });
        rowLayout->addWidget(button);
        buttons_.push_back(button);
    }
    reloadEnabledState();
}

void DMMacDockView::reloadEnabledState() {
    for (std::size_t index = 0; index < items_.size(); ++index) {
        bool disabled = delegate_ == nullptr || delegate_->isItemDisabled(items_[index]);
        buttons_[index]->setEnabled(!disabled);
    }
}

QToolButton* DMMacDockView::button(const std::string& name) const {
    for (std::size_t index = 0; index < items_.size(); ++index) {
        if (items_[index].name == name) {
            return buttons_[index];
        }
    }
    return nullptr;
}

bool DMMacDockView::isEnabled(const std::string& name) const {
    QToolButton* found = button(name);
    return found != nullptr && found->isEnabled();
}

bool DMMacDockView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter || event->type() == QEvent::FocusIn) {
        for (std::size_t index = 0; index < buttons_.size(); ++index) {
            if (buttons_[index] == watched) {
                magnify(static_cast<int>(index));
            }
        }
    } else if (event->type() == QEvent::Leave || event->type() == QEvent::FocusOut) {
        magnify(-1);
    }
    return QWidget::eventFilter(watched, event);
}

void DMMacDockView::magnify(int hovered) {
    for (std::size_t index = 0; index < buttons_.size(); ++index) {
        double rate = minRate;
        if (hovered >= 0) {
            // The rate falls off with the distance from the hovered item.
            const double distance = std::abs(static_cast<int>(index) - hovered);
            rate = std::max(minRate, maxRate - (maxRate - minRate) * distance / 2.0);
        }
        const int size = static_cast<int>(std::lround(baseIconSize * rate));
        buttons_[index]->setIconSize(QSize(size, size));
    }
    lbItemName_->setText(hovered >= 0 ? QString::fromStdString(items_[static_cast<std::size_t>(hovered)].name)
                                      : QString());
}

void DMMacDockView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0, 0, 0, 30));
    painter.setBrush(QColor(255, 255, 255, 170));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 14, 14);
}

}  // namespace harbormind
