#pragma once

#include <QWidget>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;

namespace harbormind {

// Page 0: the password and its repetition.
class BLSetPwdViewController : public QWidget {
public:
    explicit BLSetPwdViewController(QWidget* parent = nullptr);

    // The accepted password, or none after showing the first refusal in red.
    std::optional<std::string> acceptedPassword(bool jobHoldsPassword, bool bitLocker);

    QLabel* lbTitle = nullptr;
    QLabel* lbHint = nullptr;
    QLineEdit* tfPassword = nullptr;
    QLineEdit* tfRepeat = nullptr;
    QLabel* lbError = nullptr;
};

}  // namespace harbormind
