#include "agent/USBAgentQuestionWindow.h"

#include <QPushButton>

#include "agent/USBAgentTexts.h"
#include "app/common/DMTextFormat.h"

namespace harbormind {

USBAgentQuestionWindow::USBAgentQuestionWindow(const std::string& diskName, std::function<void(bool allow)> answer)
    : answer_(std::move(answer)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setIcon(QMessageBox::Question);
    setWindowTitle(QString::fromUtf8(USBAgentTexts::title));
    std::string name = diskName.empty() ? USBAgentTexts::unnamedDisk : diskName;
    setText(QString::fromStdString(DMTextFormat::withText(USBAgentTexts::question, name)));
    setInformativeText(QString::fromUtf8(USBAgentTexts::explanation));
    btnBlock = addButton(QString::fromUtf8(USBAgentTexts::block), QMessageBox::RejectRole);
    btnAllow = addButton(QString::fromUtf8(USBAgentTexts::allow), QMessageBox::AcceptRole);
    setDefaultButton(btnBlock);
    setEscapeButton(btnBlock);
    connect(this, &QMessageBox::finished, this, [this] {
        if (answer_) {
            auto reply = std::move(answer_);
            answer_ = nullptr;
            reply(clickedButton() == btnAllow);
        }
    });
}

void USBAgentQuestionWindows::ask(const std::string& bsdName, const std::string& diskName,
                                  std::function<void(bool allow)> answer) {
    auto* window = new USBAgentQuestionWindow(diskName, std::move(answer));
    window->setWindowFlag(Qt::WindowStaysOnTopHint);
    window->show();
    window->raise();
    if (shown) {
        shown(bsdName, window);
    }
}

}  // namespace harbormind
