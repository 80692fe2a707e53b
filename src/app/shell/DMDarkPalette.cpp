#include "app/shell/DMDarkPalette.h"

namespace harbormind {

QPalette DMDarkPalette::make() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 32));
    dark.setColor(QPalette::AlternateBase, QColor(52, 52, 56));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    dark.setColor(QPalette::Button, QColor(60, 60, 64));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    dark.setColor(QPalette::Light, QColor(90, 90, 96));
    dark.setColor(QPalette::Midlight, QColor(70, 70, 76));
    dark.setColor(QPalette::Mid, QColor(80, 80, 86));
    dark.setColor(QPalette::Dark, QColor(25, 25, 28));
    dark.setColor(QPalette::Highlight, QColor(64, 110, 180));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::ToolTipBase, QColor(60, 60, 64));
    dark.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
    dark.setColor(QPalette::Shadow, Qt::black);
    // Links in labels stay readable on the dark window.
    dark.setColor(QPalette::Link, QColor(120, 170, 255));
    dark.setColor(QPalette::LinkVisited, QColor(180, 150, 255));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        dark.setColor(QPalette::Disabled, role, QColor(120, 120, 120));
    }
    return dark;
}

}  // namespace harbormind
