#pragma once

#include <QWidget>

class QLabel;

namespace harbormind {

// Page 3: the last question before encrypting.
class BLQueryViewController : public QWidget {
public:
    explicit BLQueryViewController(QWidget* parent = nullptr);

    QLabel* lbTitle = nullptr;
};

}  // namespace harbormind
