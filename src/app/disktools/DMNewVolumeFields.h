#pragma once

#include <QString>
#include <functional>
#include <string>

#include "xpc/DMEraseFileSystem.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QWidget;

namespace harbormind {

// The new volume's fields that the "Erase..." and "New Partition..." sheets share: its name, its
// file system and, for an encrypted volume, a password typed twice. check() shows the password
// row only for an encrypted volume and says what is wrong: the name against the file system's
// rules, or the passwords.
class DMNewVolumeFields {
public:
    // The fields are `owner`'s; `changed` runs whenever one of them changes.
    DMNewVolumeFields(QWidget* owner, const QString& name, std::function<void()> changed);

    void addNameRow(QFormLayout& form) const;
    void addFormatRow(QFormLayout& form) const;
    void addPasswordRow(QFormLayout& form) const;
    // The problem, in red, below the form.
    QLabel* lbProblem() const { return lbProblem_; }

    // Shows the password row or hides it, and the problem; the problem, empty when none.
    std::string check();
    DMEraseFileSystem fileSystem() const;
    void selectFileSystem(DMEraseFileSystem fileSystem);
    // The name as the file system will keep it.
    std::string label() const;
    // The password typed, for an encrypted volume only: one typed and then left behind goes nowhere.
    std::string password() const;
    void disable();

    QLineEdit* tfName() const { return tfName_; }
    QComboBox* pbFileSystem() const { return pbFileSystem_; }
    QLineEdit* tfPassword() const { return tfPassword_; }
    QLineEdit* tfPasswordAgain() const { return tfPasswordAgain_; }

private:
    QLineEdit* tfName_;
    QComboBox* pbFileSystem_;
    QLabel* lbPassword_;
    QLineEdit* tfPassword_;
    QLineEdit* tfPasswordAgain_;
    QLabel* lbProblem_;
};

}  // namespace harbormind
