#pragma once

#include <QMessageBox>
#include <functional>
#include <string>

#include "agent/USBAgentQuestion.h"

namespace harbormind {

// The agent's question: a small window per disk with "Allow" and "Block". Closing it without
// an answer blocks, so nothing mounts unless the user said so.
class USBAgentQuestionWindow final : public QMessageBox {
public:
    USBAgentQuestionWindow(const std::string& diskName, std::function<void(bool allow)> answer);

    QPushButton* btnAllow = nullptr;
    QPushButton* btnBlock = nullptr;

private:
    std::function<void(bool)> answer_;
};

// Asks through USBAgentQuestionWindow; `shown` hears of each window as it opens.
class USBAgentQuestionWindows final : public USBAgentQuestion {
public:
    std::function<void(const std::string& bsdName, USBAgentQuestionWindow* window)> shown;

    void ask(const std::string& bsdName, const std::string& diskName, std::function<void(bool allow)> answer) override;
};

}  // namespace harbormind
