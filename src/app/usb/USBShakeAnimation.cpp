#include "app/usb/USBShakeAnimation.h"

#include <QPropertyAnimation>
#include <QWidget>
#include <iterator>

namespace harbormind {

QPropertyAnimation* USBShakeAnimation::shake(QWidget* field) {
    auto* running = field->findChild<QPropertyAnimation*>(QString::fromUtf8(key), Qt::FindDirectChildrenOnly);
    QPoint origin = field->pos();
    if (running != nullptr) {
        origin = running->property("origin").toPoint();
        running->stop();
        delete running;
    }
    auto* animation = new QPropertyAnimation(field, "pos", field);
    animation->setObjectName(QString::fromUtf8(key));
    animation->setProperty("origin", origin);
    animation->setDuration(durationMilliseconds);
    animation->setEasingCurve(QEasingCurve::Linear);
    const int steps = static_cast<int>(std::size(offsets)) - 1;
    for (int i = 0; i <= steps; ++i) {
        animation->setKeyValueAt(static_cast<double>(i) / steps, origin + QPoint(offsets[i], 0));
    }
    animation->start();
    return animation;
}

}  // namespace harbormind
