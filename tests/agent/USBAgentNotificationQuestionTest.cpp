#include <gtest/gtest.h>

#include <optional>

#include "agent/USBAgentNotificationQuestion.h"
#include "support/Dispatch.h"

namespace harbormind {
namespace {

// A desktop whose notifications the test reads and whose buttons it presses.
class ButtonNotifications final : public Notifications {
public:
    bool post(const std::string&, const std::string&, const std::string&) override { return false; }
    void remove(const std::string&) override {}
    void setActivationHandler(Activation) override {}
    bool postWithActions(const std::string& identifier, const std::string& title, const std::string& text,
                         const std::vector<std::pair<std::string, std::string>>& actions) override {
        if (!serviceRuns) {
            return false;
        }
        shown.push_back({identifier, title, text, actions});
        return true;
    }
    void setActionHandler(ActionChoice handler) override { press = std::move(handler); }

    struct Shown {
        std::string identifier;
        std::string title;
        std::string text;
        std::vector<std::pair<std::string, std::string>> actions;
    };
    bool serviceRuns = true;
    std::vector<Shown> shown;
    ActionChoice press;
};

class USBAgentNotificationQuestionTest : public testing::Test {
protected:
    void SetUp() override { Dispatch::main().adoptCurrentThread(); }

    // Asks about `bsdName`; the answer lands in `answers[bsdName]` once the main queue runs.
    void ask(const std::string& bsdName, const std::string& diskName) {
        question->ask(bsdName, diskName, [this, bsdName](bool allow) { answers[bsdName] = allow; });
    }
    std::optional<bool> answerFor(const std::string& bsdName) {
        Dispatch::main().runUntil([&] { return answers.count(bsdName) > 0; }, seconds(5));
        auto found = answers.find(bsdName);
        return found == answers.end() ? std::nullopt : std::optional<bool>(found->second);
    }

    ButtonNotifications notifications;
    std::shared_ptr<USBAgentNotificationQuestion> question = USBAgentNotificationQuestion::create(notifications);
    std::map<std::string, bool> answers;
};

TEST_F(USBAgentNotificationQuestionTest, AllowMountsBlockRefusesAndNothingIsDecidedBeforeAButton) {
    ask("sdb", "Generic Flash Disk");
    ask("sdc", "");
    ASSERT_EQ(notifications.shown.size(), 2u);
    EXPECT_EQ(notifications.shown[0].title, "USB Warden");
    EXPECT_NE(notifications.shown[0].text.find("\"Generic Flash Disk\" was connected. Allow it to mount?"),
              std::string::npos);
    EXPECT_NE(notifications.shown[1].text.find("\"Unknown disk\""), std::string::npos);
    EXPECT_EQ(notifications.shown[0].actions,
              (std::vector<std::pair<std::string, std::string>>{{"allow", "Allow"}, {"block", "Block"}}));
    Dispatch::main().runUntil([] { return false; }, seconds(0.05));
    EXPECT_TRUE(answers.empty()) << "a disk was decided before the user pressed a button";

    // Another program's notification, and a second press, change nothing.
    notifications.press("someone-else", "allow");
    notifications.press(notifications.shown[1].identifier, "block");
    notifications.press(notifications.shown[1].identifier, "allow");
    notifications.press(notifications.shown[0].identifier, "allow");
    EXPECT_EQ(answerFor("sdb"), true);
    EXPECT_EQ(answerFor("sdc"), false);
}

TEST_F(USBAgentNotificationQuestionTest, WithoutANotificationServiceOrWhenAskedAgainTheDiskStaysRefused) {
    ask("sdd", "Stick");
    ask("sdd", "Stick");
    EXPECT_EQ(answerFor("sdd"), false) << "the first, replaced question was not refused";
    answers.clear();
    notifications.press(notifications.shown.back().identifier, "allow");
    EXPECT_EQ(answerFor("sdd"), true);

    notifications.serviceRuns = false;
    ask("sde", "Stick");
    EXPECT_EQ(answerFor("sde"), false);
}

}  // namespace
}  // namespace harbormind
