#include "app/widgets/DMSearchField.h"

#include <QAction>
#include <QIcon>
#include <QKeyEvent>

#include "app/common/DMTexts.h"
#include "app/common/DMTr.h"

namespace harbormind {

DMSearchField::DMSearchField(QWidget* parent) : QLineEdit(parent) {
    setClearButtonEnabled(true);
    setPlaceholderText(QString::fromUtf8(DMTr::text(DMTexts::searchPlaceholder)));
    setMinimumWidth(200);
    QIcon searchIcon = QIcon::fromTheme(QStringLiteral("edit-find"));
    if (!searchIcon.isNull()) {
        addAction(searchIcon, QLineEdit::LeadingPosition);
    }
}

void DMSearchField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && !text().isEmpty()) {
        clear();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace harbormind
