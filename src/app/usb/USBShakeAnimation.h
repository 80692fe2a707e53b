#pragma once

class QPropertyAnimation;
class QWidget;

namespace harbormind {

// The refusal of a password: the field shakes sideways for half a second.
class USBShakeAnimation {
public:
    static constexpr const char* key = "shake";
    static constexpr int durationMilliseconds = 500;
    // Horizontal offsets in points, at equal steps from start to end.
    static constexpr int offsets[] = {-10, 15, -10, 10, -5, 5, -5, 5, 0};

    // Starts the shake on `field`, replacing one still running. Owned by the field.
    static QPropertyAnimation* shake(QWidget* field);
};

}  // namespace harbormind
