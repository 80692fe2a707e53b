#include "app/encryption/BLRecoveryKeyOutput.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

namespace harbormind {

std::optional<std::string> BLDialogRecoveryKeyOutput::choosePath(QWidget* parent, const std::string& message,
                                                                 const std::string& folder,
                                                                 const std::string& proposedName,
                                                                 const std::string& type) {
    QString start = QString::fromStdString(folder + "/" + proposedName + "." + type);
    QString filter = QString::fromStdString("*." + type);
    QString path = QFileDialog::getSaveFileName(parent, QString::fromStdString(message), start, filter);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path.toStdString();
}

bool BLDialogRecoveryKeyOutput::print(QWidget* parent, const std::string& text) {
    QPrinter printer;
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    QTextDocument document;
    document.setPlainText(QString::fromStdString(text));
    document.print(&printer);
    return true;
}

}  // namespace harbormind
