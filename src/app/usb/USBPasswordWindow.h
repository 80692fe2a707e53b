#pragma once

#include <QDialog>
#include <QList>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace harbormind {

// What the password windows share: they are sheets on their parent, refuse with a red
// message and a shake, warn while any field is too long, and end their sheet with 1 when
// they did their work and -1000 otherwise, however they are closed.
class USBPasswordWindow : public QDialog {
public:
    static constexpr int codeDone = 1;
    static constexpr int codeCancelled = -1000;

    explicit USBPasswordWindow(QWidget* parent);

    // The code the sheet ended with; none while open.
    int endCode() const { return endCode_; }
    void done(int result) override;

    static std::string text(const QLineEdit* field);

protected:
    // Whether the window did its work.
    virtual bool succeeded() const = 0;

    QLineEdit* passwordField(const char* accessibleName);
    QPushButton* button(const char* title);
    QLabel* errorLabel();
    // Shows "too long" in `label` while any of `fields` holds more than the limit.
    void watchLength(const QList<QLineEdit*>& fields, QLabel* label);
    // Lays out a one-password window: tip, field, error line, then Cancel and OK (the default).
    // OK calls `accept`; Cancel closes the window.
    void layOutOnePassword(QLabel* tip, QLineEdit* field, QLabel* error, QPushButton* cancel, QPushButton* ok,
                           const std::function<void()>& accept);
    static void showError(QLabel* label, const std::string& message);
    static void refuse(QLineEdit* field, QLabel* label, const std::string& message);

private:
    int endCode_ = 0;
};

}  // namespace harbormind
