#include "app/encryption/BLPageController.h"

#include <QPainter>

namespace harbormind {
namespace {
constexpr int dot = 8;
constexpr int gap = 10;
}  // namespace

BLPageController::BLPageController(int pages, QWidget* parent) : QWidget(parent), pages_(pages) {}

void BLPageController::setCurrentPage(int page) {
    current_ = page;
    update();
}

QSize BLPageController::sizeHint() const {
    return {pages_ * dot + (pages_ - 1) * gap, dot + 4};
}

void BLPageController::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    int left = (width() - sizeHint().width()) / 2;
    QColor filled = palette().color(QPalette::Highlight);
    QColor empty = palette().color(QPalette::Mid);
    for (int page = 0; page < pages_; ++page) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(page == current_ ? filled : empty);
        painter.drawEllipse(left + page * (dot + gap), 2, dot, dot);
    }
}

}  // namespace harbormind
