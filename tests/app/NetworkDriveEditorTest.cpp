#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "AppTestSupport.h"
#include "app/common/DMTexts.h"
#include "app/common/DMTr.h"
#include "app/network/DMNetworkDriveConfigurableViewController.h"
#include "app/network/DMNetworkEditorTexts.h"
#include "app/network/DMNewNetworkCloudDrivesWindowController.h"
#include "config/DMConfigurationManager.h"
#include "network/DMNetworkDriveManager.h"
#include "platform/NetworkMountStatus.h"
#include "platform/sim/SimNetworkMounter.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/SimSettingsStore.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

using Editor = DMNewNetworkCloudDrivesWindowController;

class NetworkDriveEditorTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        test::ensureApplication();
        platform = SimPlatform::empty();
        Platform::setCurrent(platform);
        config = std::make_unique<DMConfigurationManager>("com.kestrane.harbormind",
                                                          std::make_shared<SimSettingsStore>(), nullptr, nullptr);
        manager = DMNetworkDriveManager::create({});
        manager->start();
        mounter().setMountDelay(seconds(5));
    }
    void TearDown() override {
        delete editor.data();
        manager.reset();
        VirtualClockTest::TearDown();
    }

    SimNetworkMounter& mounter() { return platform->simNetworkMounter(); }
    Editor* open(std::shared_ptr<DMNetworkDriveObject> drive = nullptr) {
        editor = new Editor(manager, std::move(drive), nullptr, config.get());
        editor->show();
        return editor.data();
    }
    DMNetworkDriveConfigurableViewController& form() { return *editor->currentConfigurableViewController(); }
    void type(QLineEdit* field, const char* text) { field->setText(QString::fromUtf8(text)); }
    void fillTeam() {
        type(form().tfNickName(), "Team");
        type(form().tfServer(), "nas/team/");
        type(form().tfUsername(), "bob");
    }
    // Runs the main queue for that long, then lets closed windows go.
    void runFor(double secondsToRun) {
        Dispatch::main().runUntil([] { return false; }, seconds(secondsToRun));
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::string tips() const { return editor->lbTips()->isVisibleTo(editor) ? editor->lbTips()->text().toStdString() : ""; }

    std::shared_ptr<SimPlatform> platform;
    std::unique_ptr<DMConfigurationManager> config;
    std::shared_ptr<DMNetworkDriveManager> manager;
    QPointer<Editor> editor;
};

TEST_F(NetworkDriveEditorTest, TypingAFolderFillsHostAndFolderAndTheAddressButton) {
    open();
    EXPECT_EQ(editor->pbDriveType()->count(), 5);
    EXPECT_EQ(editor->pbDriveType()->currentText(), "SMB");
    EXPECT_EQ(form().tfServer()->placeholderText().toStdString(), DMNetworkEditorTexts::folderPlaceholder);
    fillTeam();
    auto drive = editor->editedDrive();
    EXPECT_EQ(drive->host(), "nas");
    EXPECT_EQ(drive->dir(), "/team");
    EXPECT_EQ(drive->name(), "Team");
    EXPECT_EQ(drive->userName(), "bob");
    EXPECT_EQ(form().btnURL()->text(), "smb://nas/team");

    type(form().tfServer(), "smb://other:1445/share");
    EXPECT_EQ(form().btnURL()->text(), "smb://other:1445/share");

    // Another type makes a new drive of that scheme and keeps what was typed.
    editor->pbDriveType()->setCurrentIndex(4);
    editor->driveTypeChange_clickWithSender(4);
    EXPECT_EQ(editor->editedDrive()->scheme(), "webDAV");
    EXPECT_EQ(form().tfNickName()->text(), "Team");
    EXPECT_EQ(form().btnURL()->text(), "webDAV://other:1445/share");
}

TEST_F(NetworkDriveEditorTest, AnonymousLoginTurnsTheAccountFieldsOffAndBackOn) {
    open();
    form().cbAnonymousLogin()->click();
    EXPECT_TRUE(editor->editedDrive()->anonymous());
    EXPECT_FALSE(form().tfUsername()->isEnabled());
    EXPECT_FALSE(form().tfPassword()->isEnabled());
    form().cbAnonymousLogin()->click();
    EXPECT_FALSE(editor->editedDrive()->anonymous());
    EXPECT_TRUE(form().tfUsername()->isEnabled());
    EXPECT_TRUE(form().tfPassword()->isEnabled());
}

TEST_F(NetworkDriveEditorTest, IncompleteInputIsReportedAndNeverReachesTheNetwork) {
    open();
    type(form().tfNickName(), "Public");
    type(form().tfServer(), "nas/public");
    const QRect connectAt = editor->btnOk()->geometry();
    editor->btnOk()->click();
    EXPECT_EQ(tips(), "Please fill in: Username (or choose Anonymous Login)");
    EXPECT_EQ(editor->btnOk()->geometry(), connectAt) << "the Connect button moved";
    EXPECT_FALSE(editor->isConnecting());
    EXPECT_TRUE(mounter().requests().empty());
    // The list follows the typing and goes once nothing is missing.
    type(form().tfNickName(), "");
    EXPECT_EQ(tips(), "Please fill in: Nickname, Username (or choose Anonymous Login)");
    type(form().tfNickName(), "Public");
    type(form().tfUsername(), "bob");
    EXPECT_EQ(tips(), "");
    type(form().tfUsername(), "");

    // A guest needs no user name, and no password is ever required.
    form().cbAnonymousLogin()->click();
    editor->btnOk()->click();
    EXPECT_TRUE(editor->isConnecting());
    EXPECT_TRUE(editor->lbConnecting()->isVisibleTo(editor));
    EXPECT_EQ(tips(), "");
    EXPECT_EQ(mounter().requests().size(), 1u);
}

TEST_F(NetworkDriveEditorTest, ConnectTwiceCancelsTheFirstAttemptAndItsAnswerIsIgnored) {
    open();
    fillTeam();
    editor->btnOk()->click();
    ASSERT_TRUE(editor->isConnecting());
    EXPECT_FALSE(form().tfNickName()->isEnabled());
    editor->btnOk()->click();
    EXPECT_FALSE(editor->isConnecting());
    EXPECT_FALSE(editor->lbConnecting()->isVisibleTo(editor));
    EXPECT_TRUE(form().tfNickName()->isEnabled());
    runFor(10);
    EXPECT_EQ(mounter().pendingRequests(), 0);
    ASSERT_TRUE(editor);
    EXPECT_EQ(tips(), "");
    EXPECT_TRUE(manager->rootObjs().empty());
}

TEST_F(NetworkDriveEditorTest, ClosingWhileConnectingCancelsTheAttempt) {
    open();
    fillTeam();
    editor->btnOk()->click();
    ASSERT_EQ(mounter().pendingRequests(), 1);
    editor->btnClose()->click();
    runFor(0);
    EXPECT_FALSE(editor);
    runFor(10);
    EXPECT_EQ(mounter().pendingRequests(), 0);
    EXPECT_TRUE(manager->rootObjs().empty());
}

TEST_F(NetworkDriveEditorTest, AFailedConnectionShowsTheCodeTextAndTheSheetStays) {
    mounter().setResponder([](const NetworkMountRequest&) {
        return NetworkMountResult{NetworkMountStatus::authenticationRefused, {}, {}};
    });
    open();
    fillTeam();
    editor->btnOk()->click();
    runFor(10);
    ASSERT_TRUE(editor);
    EXPECT_FALSE(editor->isConnecting());
    // The code's text, then what to check.
    EXPECT_EQ(tips(), std::string(DMTr::text(DMTexts::connect80)) + "\n" +
                          NetworkMountStatus::advice(NetworkMountStatus::authenticationRefused));
    EXPECT_TRUE(manager->rootObjs().empty());
}

TEST_F(NetworkDriveEditorTest, ASuccessfulConnectionSavesTheDriveClosesTheSheetAndOpensItTwoSecondsLater) {
    open();
    fillTeam();
    type(form().tfPassword(), "pw");
    editor->btnOk()->click();
    // The share answers after five seconds.
    runFor(5.5);
    EXPECT_FALSE(editor);
    ASSERT_EQ(manager->rootObjs().size(), 1u);
    auto saved = std::dynamic_pointer_cast<DMNetworkDriveObject>(manager->rootObjs().front());
    EXPECT_TRUE(saved->saved());
    EXPECT_EQ(saved->identifier(), "smb://bob@nas/team");
    EXPECT_EQ(mounter().requests().at(0).password, "pw");
    // Two seconds after connecting, once its volume is known, the drive opens.
    runFor(1);
    EXPECT_TRUE(platform->openedFolders().empty());
    runFor(1.5);
    ASSERT_EQ(platform->openedFolders().size(), 1u);
    EXPECT_EQ(platform->openedFolders().front(), saved->mountPoint().value_or("?"));
}

TEST_F(NetworkDriveEditorTest, EditingASavedDriveReplacesItOnlyOnceTheNewOneConnects) {
    config->setAutomaticallyOpenDrivesAfterConnecting(false);
    auto old = manager->makeDriveObject(DMNetworkDriveType::afp);
    NetworkDriveForm{"Media", "nas/media", "bob", "secret", false}.applyTo(*old);
    old->setSaved(true);
    manager->add(old);

    open(old);
    EXPECT_EQ(editor->pbDriveType()->currentText(), "AFP");
    EXPECT_EQ(form().tfServer()->text(), "nas/media");
    EXPECT_EQ(form().tfPassword()->text(), "secret");
    type(form().tfServer(), "nas/films");
    EXPECT_EQ(old->dir(), "/media");
    editor->btnOk()->click();
    runFor(10);
    ASSERT_EQ(manager->rootObjs().size(), 1u);
    auto saved = std::dynamic_pointer_cast<DMNetworkDriveObject>(manager->rootObjs().front());
    EXPECT_EQ(saved->identifier(), "afp://bob@nas/films");
    EXPECT_TRUE(saved->saved());
    EXPECT_TRUE(platform->openedFolders().empty());
}

// Save keeps the drive as typed without reaching the network: a new drive is listed, an edit
// replaces the saved drive.
TEST_F(NetworkDriveEditorTest, SaveKeepsTheDriveWithoutConnecting) {
    open();
    editor->btnSave()->click();
    EXPECT_EQ(tips(), "Please fill in: Nickname, Folder, Username (or choose Anonymous Login)");
    fillTeam();
    editor->btnSave()->click();
    runFor(1);
    EXPECT_FALSE(editor);
    EXPECT_TRUE(mounter().requests().empty());
    ASSERT_EQ(manager->rootObjs().size(), 1u);
    auto team = std::dynamic_pointer_cast<DMNetworkDriveObject>(manager->rootObjs().front());
    EXPECT_TRUE(team->saved());
    EXPECT_EQ(team->identifier(), "smb://bob@nas/team");

    open(team);
    type(form().tfServer(), "nas/films");
    type(form().tfNickName(), "Films");
    editor->btnSave()->click();
    runFor(1);
    EXPECT_TRUE(mounter().requests().empty());
    ASSERT_EQ(manager->rootObjs().size(), 1u);
    EXPECT_EQ(manager->rootObjs().front()->identifier(), "smb://bob@nas/films");
    EXPECT_EQ(manager->rootObjs().front()->name(), "Films");
    // What was saved is in the file another window or the command line reads.
    auto reader = DMNetworkDriveManager::create({});
    ASSERT_EQ(reader->rootObjs().size(), 1u);
    EXPECT_EQ(reader->rootObjs().front()->name(), "Films");
}

TEST_F(NetworkDriveEditorTest, PresentingAnotherEditorClosesThePreviousOne) {
    QPointer<Editor> slot;
    auto drive = manager->makeDriveObject(DMNetworkDriveType::smb);
    NetworkDriveForm{"Team", "nas/team", "bob", "", false}.applyTo(*drive);
    Editor* first = Editor::present(slot, drive, nullptr);
    ASSERT_NE(first, nullptr);
    QPointer<Editor> firstAlive(first);
    Editor* second = Editor::present(slot, drive, nullptr);
    runFor(0);
    EXPECT_FALSE(firstAlive);
    EXPECT_EQ(slot.data(), second);
    delete second;
}

}  // namespace
}  // namespace harbormind
