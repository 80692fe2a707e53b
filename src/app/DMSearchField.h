#pragma once

#include <QLineEdit>

namespace harbormind {

// The sidebar's search field: its action fires on every change of the text.
class DMSearchField : public QLineEdit {
public:
    explicit DMSearchField(QWidget* parent = nullptr);
};

}  // namespace harbormind
