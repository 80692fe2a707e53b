#include "app/shell/DMDarkStyle.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

namespace harbormind {
namespace {

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Base).lightness() < 128;
}

}  // namespace

DMDarkStyle::DMDarkStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

QColor DMDarkStyle::checkBoxOutline(const QPalette& palette) {
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    return QColor((base.red() + text.red()) / 2, (base.green() + text.green()) / 2, (base.blue() + text.blue()) / 2);
}

void DMDarkStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const {
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    // Fusion draws an item view's check through the check box, so both end here; a box that has
    // the keyboard's focus keeps Fusion's highlighted outline.
    const bool keyboardFocus = option->state.testFlag(State_HasFocus) && option->state.testFlag(State_KeyboardFocusChange);
    if (element != PE_IndicatorCheckBox || !isDark(option->palette) || keyboardFocus) {
        return;
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(QPen(checkBoxOutline(option->palette)));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5));
    painter->restore();
}

}  // namespace harbormind
