#pragma once

#include <QWidget>

class QLabel;

namespace harbormind {

// Page 1: shown while the job sets itself up.
class BLLoadingViewController : public QWidget {
public:
    explicit BLLoadingViewController(QWidget* parent = nullptr);

    QLabel* lbTitle = nullptr;
    QLabel* lbWait = nullptr;
    QLabel* lbWarning = nullptr;
    QLabel* lbRequirements = nullptr;
};

}  // namespace harbormind
