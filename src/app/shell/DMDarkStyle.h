#pragma once

#include <QProxyStyle>

namespace harbormind {

// The dark look's style: Fusion, which draws every part from the palette, except that a check
// box's outline is drawn so it shows on a dark base (Fusion takes it from the window colour, which
// on a dark palette is nearly the base). On a light palette it draws exactly as Fusion.
class DMDarkStyle : public QProxyStyle {
public:
    DMDarkStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

    // The outline of a check box on `palette`: halfway between its base and its text.
    static QColor checkBoxOutline(const QPalette& palette);
};

}  // namespace harbormind
