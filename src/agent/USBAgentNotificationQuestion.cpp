#include "agent/USBAgentNotificationQuestion.h"

#include <utility>

#include "agent/USBAgentTexts.h"
#include "support/Dispatch.h"

namespace harbormind {
namespace {

constexpr const char* identifierPrefix = "usb-warden-question-";

std::string questionFor(const std::string& diskName) {
    std::string text = USBAgentTexts::question;
    std::string name = diskName.empty() ? USBAgentTexts::unnamedDisk : diskName;
    if (auto at = text.find("%@"); at != std::string::npos) {
        text.replace(at, 2, name);
    }
    return text + "\n" + USBAgentTexts::explanation;
}

// The engine hears every answer on the main queue, as from the question window.
void answerOnMain(std::function<void(bool allow)> answer, bool allow) {
    Dispatch::main().async([answer = std::move(answer), allow] { answer(allow); });
}

}  // namespace

std::shared_ptr<USBAgentNotificationQuestion> USBAgentNotificationQuestion::create(Notifications& notifications) {
    std::shared_ptr<USBAgentNotificationQuestion> question(new USBAgentNotificationQuestion(notifications));
    std::weak_ptr<USBAgentNotificationQuestion> weak = question;
    notifications.setActionHandler([weak](const std::string& identifier, const std::string& actionKey) {
        if (auto living = weak.lock()) {
            living->chosen(identifier, actionKey);
        }
    });
    return question;
}

void USBAgentNotificationQuestion::ask(const std::string& bsdName, const std::string& diskName,
                                       std::function<void(bool allow)> answer) {
    const std::string identifier = identifierPrefix + bsdName;
    std::function<void(bool allow)> earlier;
    {
        std::lock_guard lock(mutex_);
        earlier = std::exchange(pending_[identifier], answer);
    }
    // A disk asked about again while its first question is open: the first one is refused.
    if (earlier) {
        answerOnMain(std::move(earlier), false);
    }
    bool shown = notifications_.postWithActions(identifier, USBAgentTexts::title, questionFor(diskName),
                                                {{allowKey, USBAgentTexts::allow}, {blockKey, USBAgentTexts::block}});
    if (!shown) {
        chosen(identifier, blockKey);
    }
}

void USBAgentNotificationQuestion::chosen(const std::string& identifier, const std::string& actionKey) {
    std::function<void(bool allow)> answer;
    {
        std::lock_guard lock(mutex_);
        auto found = pending_.find(identifier);
        if (found == pending_.end()) {
            return;
        }
        answer = std::move(found->second);
        pending_.erase(found);
    }
    if (answer) {
        answerOnMain(std::move(answer), actionKey == allowKey);
    }
}

}  // namespace harbormind
