#pragma once

#include <QLineEdit>

namespace harbormind {

// The sidebar's search field: its action fires on every change of the text. Escape clears
// the text; on an empty field it is left to the window (which hands focus to the tree).
class DMSearchField : public QLineEdit {
public:
    explicit DMSearchField(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace harbormind
