#include "app/widgets/DMMacDockView.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/common/DMImages.h"
#include "app/widgets/DMMacDockViewDelegate.h"

namespace harbormind {
namespace {

constexpr int baseIconSize = 36;
constexpr int textButtonWidth = 64;
constexpr int rowSpacing = 4;
constexpr int sideMargin = 12;

}  // namespace

DMMacDockView::DMMacDockView(QWidget* parent) : QWidget(parent), row_(new QWidget(this)), lbItemName_(new QLabel(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(sideMargin, 8, sideMargin, 6);
    layout->setSpacing(2);
    auto* rowLayout = new QHBoxLayout(row_);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(rowSpacing);
    layout->addWidget(row_, 0, Qt::AlignHCenter);
    lbItemName_->setAlignment(Qt::AlignCenter);
    lbItemName_->setMinimumHeight(lbItemName_->fontMetrics().height());
    QFont font = lbItemName_->font();
    font.setBold(true);
    lbItemName_->setFont(font);
    layout->addWidget(lbItemName_);
    setAttribute(Qt::WA_Hover);
    // Holds the focus while every button is disabled, without being a stop of its own.
    setFocusPolicy(Qt::ClickFocus);
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
        button->setToolButtonStyle(compact_ ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setMinimumWidth(compact_ ? 0 : textButtonWidth);
        button->installEventFilter(this);
        QObject::connect(button, &QToolButton::clicked, this, [this, index] {
            if (delegate_ != nullptr && index < items_.size() && !delegate_->isItemDisabled(items_[index])) {
                delegate_->itemClicked(items_[index]);
            }
        });
        rowLayout->addWidget(button);
        buttons_.push_back(button);
    }
    updateGeometry();
    reloadEnabledState();
}

void DMMacDockView::reloadEnabledState() {
    // A focused button that becomes disabled would pass the focus along the window's chain,
    // which wraps to the search field; the focus stays in this bar instead.
    QWidget* focused = QApplication::focusWidget();
    const bool hadFocus = focused != nullptr && std::find(buttons_.begin(), buttons_.end(), focused) != buttons_.end();
    for (std::size_t index = 0; index < items_.size(); ++index) {
        bool disabled = delegate_ == nullptr || delegate_->isItemDisabled(items_[index]);
        buttons_[index]->setEnabled(!disabled);
        QString tip = QString::fromStdString(items_[index].name);
        const std::string reason = disabled && delegate_ != nullptr ? delegate_->disabledReason(items_[index]) : "";
        if (!reason.empty()) {
            tip += QStringLiteral(": ") + QString::fromStdString(reason);
        }
        buttons_[index]->setToolTip(tip);
    }
    if (hadFocus && !focused->isEnabled()) {
        auto next = std::find_if(buttons_.begin(), buttons_.end(), [](QToolButton* button) { return button->isEnabled(); });
        if (next != buttons_.end()) {
            (*next)->setFocus(Qt::OtherFocusReason);
        } else {
            setFocus(Qt::OtherFocusReason);
        }
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
        // A disabled item never grows, and hovering one magnifies nothing: growing says "click me".
        const bool hoveredEnabled = hovered >= 0 && buttons_[static_cast<std::size_t>(hovered)]->isEnabled();
        if (hoveredEnabled && buttons_[index]->isEnabled()) {
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

int DMMacDockView::rowWidth(bool compact) const {
    // Hovering grows one icon to the full rate and its two neighbours halfway: room for that once.
    const int magnified = static_cast<int>(std::lround(baseIconSize * maxRate)) - baseIconSize;
    const int halfway = static_cast<int>(std::lround(baseIconSize * (minRate + maxRate) / 2)) - baseIconSize;
    int width = compact ? magnified + 2 * halfway : 0;
    for (QToolButton* button : buttons_) {
        int buttonWidth = baseIconSize + 8;
        if (!compact) {
            const int textWidth = button->fontMetrics().horizontalAdvance(button->text()) + 10;
            buttonWidth = std::max({buttonWidth, textButtonWidth, textWidth});
        }
        width += buttonWidth;
    }
    if (!buttons_.empty()) {
        width += rowSpacing * static_cast<int>(buttons_.size() - 1);
    }
    return width + 2 * sideMargin;
}

QSize DMMacDockView::sizeHint() const {
    return {rowWidth(false), QWidget::sizeHint().height()};
}

QSize DMMacDockView::minimumSizeHint() const {
    return {rowWidth(true), QWidget::minimumSizeHint().height()};
}

void DMMacDockView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    setCompact(width() < rowWidth(false));
}

void DMMacDockView::setCompact(bool compact) {
    if (compact == compact_) {
        return;
    }
    compact_ = compact;
    for (QToolButton* button : buttons_) {
        button->setToolButtonStyle(compact ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextUnderIcon);
        button->setMinimumWidth(compact ? 0 : textButtonWidth);
    }
}

void DMMacDockView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Translucent over the pane, in the theme's own colours so dark themes stay readable.
    QColor edge = palette().color(QPalette::Mid);
    edge.setAlpha(120);
    QColor fill = palette().color(QPalette::Base);
    fill.setAlpha(170);
    painter.setPen(edge);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 14, 14);
}

}  // namespace harbormind
