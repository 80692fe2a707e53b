#include "app/widgets/DMProgressView.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace harbormind {

DMProgressView::DMProgressView(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void DMProgressView::setSections(std::vector<Section> sections) {
    sections_ = std::move(sections);
    update();
}

void DMProgressView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = track.height() / 2;
    QPainterPath clip;
    clip.addRoundedRect(track, radius, radius);
    painter.setClipPath(clip);
    painter.fillRect(track, palette().color(QPalette::Midlight));
    const double span = maxValue - minValue;
    double left = track.left();
    for (const Section& section : sections_) {
        if (span <= 0) {
            break;
        }
        const double share = std::clamp((section.value - minValue) / span, 0.0, 1.0);
        const double width = std::min(share * track.width(), track.right() - left);
        painter.fillRect(QRectF(left, track.top(), width, track.height()), section.colour);
        left += width;
    }
    painter.setClipping(false);
    painter.setPen(QColor(0, 0, 0, 40));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(track, radius, radius);
}

}  // namespace harbormind
