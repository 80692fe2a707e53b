#include "app/common/DMMessageBoxPresenter.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <memory>
#include <vector>

#include "app/common/DMTexts.h"
#include "app/common/DMTr.h"

namespace harbormind {

void DMMessageBoxPresenter::present(const DMAlert& alert, QWidget* window, Reply reply) {
    auto* box = new QMessageBox(window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setIcon(QMessageBox::Warning);
    // A window title is short: the message itself is the box's text, so a long one is never
    // cut off in the title bar or repeated there.
    box->setWindowTitle(QString::fromUtf8(DMTr::text(DMTexts::productName)));
    box->setText(QString::fromStdString(alert.title));
    // The system's reason stays in sight under the text, not behind a details button.
    std::string informative = alert.text;
    if (!alert.informativeText.empty()) {
        informative += (informative.empty() ? "" : "\n\n") + alert.informativeText;
    }
    box->setInformativeText(QString::fromStdString(informative));
    // A path, an address or a reason in an alert can be copied.
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto buttons = std::make_shared<std::vector<QAbstractButton*>>();
    for (std::size_t index = 0; index < alert.buttons.size(); ++index) {
        QMessageBox::ButtonRole role = index == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole;
        QPushButton* button = box->addButton(QString::fromStdString(alert.buttons[index]), role);
        if (index == alert.defaultButton.value_or(0)) {
            box->setDefaultButton(button);
        }
        buttons->push_back(button);
    }
    if (alert.escapeButton && *alert.escapeButton < buttons->size()) {
        box->setEscapeButton((*buttons)[*alert.escapeButton]);
    } else if (alert.buttons.size() > 1) {
        box->setEscapeButton(buttons->back());
    }
    QObject::connect(box, &QMessageBox::finished, box, [box, buttons, reply](int) {
        int chosen = -1;
        for (std::size_t index = 0; index < buttons->size(); ++index) {
            if ((*buttons)[index] == box->clickedButton()) {
                chosen = static_cast<int>(index);
            }
        }
        if (reply) {
            reply(chosen);
        }
    });
    box->setWindowModality(window != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    box->open();
}

}  // namespace harbormind
