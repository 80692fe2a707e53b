#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace harbormind {

// The drive clear window's bottom bar: the selection's status line and "Clean".
class CDDriveClearStatuBarView : public QWidget {
public:
    explicit CDDriveClearStatuBarView(QWidget* parent);

    void setStatus(const QString& text);
    QString status() const;
    QPushButton* cleanButton() const { return btnClean_; }

    std::function<void()> onClean;

private:
    QLabel* lbStatus_;
    QPushButton* btnClean_;
};

}  // namespace harbormind
