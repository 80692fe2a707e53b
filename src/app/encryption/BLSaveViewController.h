#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace harbormind {

// Page 2: the recovery key is saved to a file or printed before the wizard goes on.
class BLSaveViewController : public QWidget {
public:
    explicit BLSaveViewController(QWidget* parent = nullptr);

    bool isSaved() const { return saved_; }
    void markSaved();

    QLabel* lbTitle = nullptr;
    QLabel* lbExplanation = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnPrint = nullptr;
    QLabel* lbFindLater = nullptr;
    QLabel* lbSaveFirst = nullptr;

private:
    bool saved_ = false;
};

}  // namespace harbormind
