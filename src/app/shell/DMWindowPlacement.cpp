#include "app/shell/DMWindowPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace harbormind {
namespace {

// Set on a window once placed: later showings keep where the user put it.
constexpr const char* placedProperty = "harbormindPlaced";

bool isPlacedWindow(const QWidget* widget) {
    if (!widget->isWindow()) {
        return false;
    }
    const Qt::WindowType type = widget->windowType();
    return type == Qt::Window || type == Qt::Dialog || type == Qt::Sheet;
}

}  // namespace

DMWindowPlacement::DMWindowPlacement(std::function<QWidget*()> anchor) : anchor_(std::move(anchor)) {}

std::unique_ptr<DMWindowPlacement> DMWindowPlacement::install(std::function<QWidget*()> anchor) {
    std::unique_ptr<DMWindowPlacement> placement(new DMWindowPlacement(std::move(anchor)));
    qApp->installEventFilter(placement.get());
    return placement;
}

QPoint DMWindowPlacement::centred(const QSize& size, const QRect& over, const QRect& screen) {
    QPoint corner = over.topLeft() + QPoint((over.width() - size.width()) / 2, (over.height() - size.height()) / 2);
    corner.setX(std::max(screen.left(), std::min(corner.x(), screen.right() + 1 - size.width())));
    corner.setY(std::max(screen.top(), std::min(corner.y(), screen.bottom() + 1 - size.height())));
    return corner;
}

bool DMWindowPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (isPlacedWindow(widget) && !widget->property(placedProperty).toBool()) {
            widget->setProperty(placedProperty, true);
            place(widget);
        }
    }
    return QObject::eventFilter(watched, event);
}

void DMWindowPlacement::place(QWidget* window) const {
    QWidget* over = window->parentWidget() != nullptr ? window->parentWidget()->window() : nullptr;
    if (over == nullptr && anchor_) {
        over = anchor_();
    }
    if (over == nullptr || over == window || !over->isVisible()) {
        return;
    }
    QScreen* screen = over->screen() != nullptr ? over->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    window->move(centred(window->frameGeometry().size(), over->frameGeometry(), screen->availableGeometry()));
}

}  // namespace harbormind
