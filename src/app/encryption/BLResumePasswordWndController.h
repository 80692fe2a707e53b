#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QPushButton;

namespace harbormind {

// Asks for the drive's password before an interrupted encryption that needs it resumes.
// Ends with `codeConfirmed` (the password is then in `password()`) or `codeCancelled`.
class BLResumePasswordWndController : public QDialog {
public:
    static constexpr int codeConfirmed = 1;
    static constexpr int codeCancelled = -1000;

    BLResumePasswordWndController(const std::string& driveName, QWidget* parent = nullptr);

    std::string password() const;

    QLineEdit* editPassword = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnContinue = nullptr;
};

}  // namespace harbormind
