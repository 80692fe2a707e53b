#include "app/DMSearchField.h"

#include <QAction>
#include <QIcon>

#include "app/DMTexts.h"

namespace harbormind {

DMSearchField::DMSearchField(QWidget* parent) : QLineEdit(parent) {
    setClearButtonEnabled(true);
    setPlaceholderText(QString::fromUtf8(DMTexts::searchPlaceholder));
    setMinimumWidth(200);
    QIcon searchIcon = QIcon::fromTheme(QStringLiteral("edit-find"));
    if (!searchIcon.isNull()) {
        addAction(searchIcon, QLineEdit::LeadingPosition);
    }
}

}  // namespace harbormind
