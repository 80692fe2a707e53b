#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "AppTestSupport.h"
#include "ScreenshotLook.h"
#include "app/common/DMTr.h"
#include "app/drives/DMDriveAction.h"
#include "app/drives/DMDriveActionManager.h"
#include "app/shell/DMFeatureWindowFactory.h"
#include "app/encryption/BLBitLockerProgressWndController.h"
#include "app/encryption/BLBitLockerViewController.h"
#include "app/encryption/BLBitLockerWndController.h"
#include "app/encryption/BLBitlockerUnlockWndController.h"
#include "app/encryption/BLEncryptionAlertText.h"
#include "app/encryption/BLEncryptionFlow.h"
#include "app/encryption/BLEncryptionTexts.h"
#include "app/encryption/BLPasswordRules.h"
#include "app/encryption/BLQueryViewController.h"
#include "app/encryption/BLRecoveryKeyFile.h"
#include "app/encryption/BLRecoveryKeyOutput.h"
#include "app/encryption/BLResumePasswordWndController.h"
#include "app/encryption/BLSaveViewController.h"
#include "app/encryption/BLSetPwdViewController.h"
#include "drivemodel/DMLocalDriveEncryptionBase.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "support/Dispatch.h"
#include "testsupport/VirtualClockTest.h"

namespace harbormind {
namespace {

namespace Texts = BLEncryptionTexts;

// A job of no particular kind that records what the windows ask of it.
class FakeJob final : public DMLocalDriveEncryptionBase {
public:
    FakeJob() : DMLocalDriveEncryptionBase(DMLocalDriveObject::create("disk5s1")) {}
    bool needResume() override { return resume; }
    bool resumeNeedsPassword() const override { return needsPassword; }
    bool resumeMakesRecoveryKey() const override { return newKeyOnResume; }
    std::string detachedHeader() override { return header; }
    void prepare() override { ++prepared; }
    // Sends a message the way a job does: to the delegate, on the job's side.
    std::uint64_t send(DMProgressStatus status, std::uint64_t current, DMProgressError error = DMProgressError::noError) {
        DMProgressMessage message;
        message.status = status;
        message.current = current;
        message.total = 100;
        message.error = error;
        auto receiver = delegate();
        return receiver ? receiver->encryptionProgress(message) : 0;
    }
    // The last message of a job that explains its end.
    void sendText(DMProgressStatus status, std::uint64_t current, DMProgressError error, const std::string& text) {
        DMProgressMessage message;
        message.status = status;
        message.current = current;
        message.total = 100;
        message.error = error;
        message.message = text;
        if (auto receiver = delegate()) {
            receiver->encryptionProgress(message);
        }
    }
    std::atomic<bool> resume{false};
    std::atomic<bool> needsPassword{false};
    std::atomic<bool> newKeyOnResume{false};
    std::atomic<int> prepared{0};
    std::string header;
};

class FakeOutput final : public BLRecoveryKeyOutput {
public:
    std::optional<std::string> choosePath(QWidget*, const std::string& message, const std::string& folder,
                                          const std::string& proposedName, const std::string& type) override {
        asked.push_back(message + "|" + folder + "|" + proposedName + "|" + type);
        return path;
    }
    bool print(QWidget*, const std::string& text) override {
        printed.push_back(text);
        return printAnswer;
    }
    std::optional<std::string> path;
    bool printAnswer = true;
    std::vector<std::string> asked;
    std::vector<std::string> printed;
};

class FakeOperations final : public DMDriveOperations {
public:
    bool isLocalDrive(const Drive&) override { return true; }
    DMDriveObjectFilesystem fileSystem(const Drive&) override { return fs; }
    std::string name(const Drive&) override { return "ELEMENTS"; }
    int open(const Drive&) override { return note("open"); }
    int mount(const Drive&) override { return note("mount"); }
    DMOperationResult unmount(const Drive&, DMUnmountOption) override { return {note("unmount"), {}}; }
    DMOperationResult eject(const Drive&) override { return {note("eject"), {}}; }
    int lock(const Drive&) override { return note("lock"); }
    int unlock(const Drive&, const std::string& password) override {
        note("unlock " + password);
        return password == rightPassword ? 0 : wrongResult;
    }
    DMOperationResult unlockWithReason(const Drive& drive, const std::string& password) override {
        int code = unlock(drive, password);
        return {code, code == 0 ? std::string() : failureReason};
    }
    std::optional<std::string> rememberedPassword(const Drive&) override { return remembered; }
    std::string detachedHeader(const Drive&) override { return header; }
    void rememberPassword(const Drive&, const std::optional<std::string>& password) override {
        note(password ? "remember " + *password : "forget");
        remembered = password;
    }
    bool automaticallyOpenDrivesAfterUnlocking() override { return openAfterUnlock; }
    bool isUSBBlockerOn() override { return blockerOn; }
    std::shared_ptr<DMLocalDriveEncryptable> encryptor(const Drive&, DMEncryptorRefusal* refusal) override {
        note("encryptor");
        DMEncryptorRefusal now = refusalNow();
        if (refusal) {
            *refusal = now;
        }
        return now == DMEncryptorRefusal::none ? job : nullptr;
    }
    DMEncryptorRefusal encryptionRefusal(const Drive&) override {
        note("refusal?");
        return refusalNow();
    }
    // As the drive manager: a volume that reads as no file system is refused unless it is
    // one whose encryption was interrupted.
    DMEncryptorRefusal refusalNow() {
        if (!job) {
            return why;
        }
        if (fs == DMDriveObjectFilesystem::unknown && !job->needResume()) {
            return DMEncryptorRefusal::unsupportedFileSystem;
        }
        return DMEncryptorRefusal::none;
    }
    bool hasExternalPowerAdapter() override { return power; }
    bool isMounted(const Drive&) override { return mounted; }
    int accessMode(const Drive&) override { return 1; }
    bool hasHibernationFile(const Drive&) override { return false; }
    void setIgnoreHibernateFile(bool) override {}
    std::vector<Drive> externalRootDrives() override { return {}; }
    bool isDriverInstalled() override { return true; }
    bool canInstallDriver() override { return true; }
    void installDriver() override {}
    bool ignoreHibernationFileWhenMountingNtfsDrives() override { return false; }
    void openURL(const std::string&) override {}

    int note(const std::string& what) {
        std::lock_guard lock(mutex);
        calls.push_back(what);
        return 0;
    }
    std::vector<std::string> recorded() {
        std::lock_guard lock(mutex);
        return calls;
    }

    DMDriveObjectFilesystem fs = DMDriveObjectFilesystem::ntfs;
    std::string rightPassword = "right";
    int wrongResult = -1;
    std::string failureReason;
    std::string header;
    std::optional<std::string> remembered;
    bool openAfterUnlock = true;
    bool blockerOn = false;
    bool power = true;
    bool mounted = true;
    std::shared_ptr<DMLocalDriveEncryptable> job;
    DMEncryptorRefusal why = DMEncryptorRefusal::bitLockerNotSupported;
    std::mutex mutex;
    std::vector<std::string> calls;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A LUKS2 header as cryptsetup writes one: the binary header, then the JSON metadata with
// `slotCount` key slots.
std::string luksHeader(int slotCount) {
    std::string bytes(16384, '\0');
    bytes.replace(0, 6, std::string("LUKS\xba\xbe", 6));
    bytes[7] = 2;
    bytes[14] = 0x40;  // header size 16384, big-endian
    std::string json = "{\"keyslots\":{";
    for (int slot = 0; slot < slotCount; ++slot) {
        json += (slot ? ",\"" : "\"") + std::to_string(slot) + "\":{\"type\":\"luks2\"}";
    }
    json += "},\"segments\":{}}";
    bytes.replace(4096, json.size(), json);
    return bytes;
}

// ---- rules and texts without windows ----

TEST(EncryptionPasswordRulesTest, ChecksComeInTheirOrder) {
    EXPECT_EQ(BLPasswordRules::refusal("", "", false, true), Texts::passwordEmpty);
    EXPECT_EQ(BLPasswordRules::refusal("", "filled", false, true), Texts::passwordMismatch);
    EXPECT_EQ(BLPasswordRules::refusal("abc", "abd", false, false), Texts::passwordMismatch);
    std::string longest(24, 'x');
    EXPECT_EQ(BLPasswordRules::refusal(longest, longest, false, true), std::nullopt);
    std::string tooLong(25, 'x');
    EXPECT_EQ(BLPasswordRules::refusal(tooLong, tooLong, false, true), std::string(DMTr::text(Texts::passwordTooLong)));
    // Length before characters: a long password with a slash gets the length message.
    EXPECT_EQ(BLPasswordRules::refusal(tooLong + "/", tooLong + "/", false, true), std::string(DMTr::text(Texts::passwordTooLong)));
    // Characters are counted, not bytes: 24 accented letters pass.
    std::string accented;
    for (int i = 0; i < 24; ++i) {
        accented += "\xC3\xA9";
    }
    EXPECT_EQ(BLPasswordRules::refusal(accented, accented, false, true), std::nullopt);
}

TEST(EncryptionPasswordRulesTest, SpecialCharactersAreRefusedOnlyForBitLocker) {
    for (const std::string password : {"a/b", "it's", "back\\slash"}) {
        EXPECT_EQ(BLPasswordRules::refusal(password, password, false, true), std::string(DMTr::text(Texts::passwordSpecialCharacters)));
        EXPECT_EQ(BLPasswordRules::refusal(password, password, false, false), std::nullopt) << password;
    }
    // Once the job holds a password, empty and differing fields are no longer refused.
    EXPECT_EQ(BLPasswordRules::refusal("", "", true, true), std::nullopt);
    EXPECT_EQ(BLPasswordRules::refusal("a", "b", true, true), std::nullopt);
    EXPECT_EQ(BLPasswordRules::refusal("a/", "b", true, true), std::string(DMTr::text(Texts::passwordSpecialCharacters)));
}

TEST(EncryptionRecoveryKeyFileTest, TextNameAndPrivateFile) {
    EXPECT_EQ(BLRecoveryKeyFile::text(std::string("GUID-1"), std::string("KEY-2")),
              "BitLocker Drive Encryption recovery key\n\nIdentifier:\n\n\tGUID-1\n\nRecovery Key:\n\n\tKEY-2");
    EXPECT_EQ(BLRecoveryKeyFile::text(std::nullopt, std::nullopt),
              "BitLocker Drive Encryption recovery key\n\nIdentifier:\n\n\t\n\nRecovery Key:\n\n\t");
    EXPECT_EQ(BLRecoveryKeyFile::proposedName(std::string("GUID-1")), "BitLocker Recovery Key GUID-1");

    auto folder = std::filesystem::temp_directory_path() / ("encsim-key-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::string path = (folder / "key.txt").string();
    ASSERT_TRUE(BLRecoveryKeyFile::write(path, "secret"));
    EXPECT_EQ(readFile(path), "secret");
    auto permissions = std::filesystem::status(path).permissions();
    EXPECT_EQ(permissions & (std::filesystem::perms::group_all | std::filesystem::perms::others_all),
              std::filesystem::perms::none);
    EXPECT_FALSE(BLRecoveryKeyFile::write((folder / "missing" / "key.txt").string(), "secret"));
    std::filesystem::remove_all(folder);
}

TEST(EncryptionAlertTextTest, OneTextPerKindAndNoneForOtherFileSystems) {
    using FS = DMDriveObjectFilesystem;
    for (FS fs : {FS::fat32, FS::ntfs, FS::exfat}) {
        EXPECT_EQ(BLEncryptionAlertText::forFileSystem(fs), std::string(DMTr::text(Texts::alertBitLocker)));
    }
    for (FS fs : {FS::apfs, FS::hfs_plus}) {
        EXPECT_EQ(BLEncryptionAlertText::forFileSystem(fs), std::string(DMTr::text(Texts::alertFileVault)));
    }
    for (FS fs : {FS::ext2, FS::ext3, FS::ext4}) {
        EXPECT_EQ(BLEncryptionAlertText::forFileSystem(fs), std::string(DMTr::text(Texts::alertLuks)));
    }
    EXPECT_STREQ(Texts::alertLuks, "This drive will be encrypted by LUKS2 compatible method");
    EXPECT_EQ(BLEncryptionAlertText::forFileSystem(FS::luks), std::nullopt) << "already encrypted";
    EXPECT_EQ(BLEncryptionAlertText::forFileSystem(FS::bitlocker_encrypted), std::nullopt);
    EXPECT_EQ(BLEncryptionAlertText::forFileSystem(FS::unknown), std::nullopt);
}

// ---- windows ----

class EncryptionWindowsTest : public test::VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        test::ensureApplication();
        folder = std::filesystem::temp_directory_path() / ("encsim-wizard-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override {
        std::filesystem::remove_all(folder);
        VirtualClockTest::TearDown();
    }
    void pump(double duration = 0) {
        Dispatch::main().runUntil([] { return false; }, seconds(duration));
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::filesystem::path folder;
    std::shared_ptr<FakeJob> job = std::make_shared<FakeJob>();
    std::shared_ptr<FakeOutput> output = std::make_shared<FakeOutput>();
    std::shared_ptr<FakeOperations> operations = std::make_shared<FakeOperations>();
    std::shared_ptr<test::RecordingPresenter> presenter = std::make_shared<test::RecordingPresenter>();
};

// The header is handed over once the job has finished (before, it has no recovery key slot
// yet): beside the saved key, read back and checked; else where the user picks.
TEST_F(EncryptionWindowsTest, AFinishedJobsHeaderIsSavedBesideTheKeyAndCheckedOrOfferedForSaving) {
    auto finish = [&](BLBitLockerProgressWndController& window) {
        job->send(DMProgressStatus::finished, 100);
        for (int i = 0; i < 20 && window.lbTip->text() == DMTr::qtext(Texts::progressTip); ++i) {
            pump(0.1);
        }
    };
    job->header = luksHeader(2);
    {
        BLBitLockerProgressWndController window(job, "ELEMENTS");
        window.setHeaderHandover(output, (folder / "key.txt").string());
        finish(window);
        std::filesystem::path header = folder / "key.header";
        EXPECT_EQ(readFile(header.string()), job->header) << "written whole, binary bytes included";
        EXPECT_EQ(std::filesystem::status(header).permissions() &
                      (std::filesystem::perms::group_all | std::filesystem::perms::others_all),
                  std::filesystem::perms::none);
        EXPECT_EQ(window.savedHeaderPath(), header.string());
        EXPECT_NE(window.lbTip->text().indexOf(QString::fromStdString(header.string())), -1);
        EXPECT_TRUE(window.btnSaveHeader->isHidden());
    }
    {
        // The key was printed: the user picks where the header goes.
        BLBitLockerProgressWndController window(job, "ELEMENTS");
        window.setHeaderHandover(output, std::nullopt);
        finish(window);
        EXPECT_EQ(window.lbTip->text().toStdString(), DMTr::text(Texts::headerUnsaved));
        ASSERT_FALSE(window.btnSaveHeader->isHidden());
        output->path = std::nullopt;
        window.btnSaveHeader->click();
        EXPECT_EQ(window.savedHeaderPath(), std::nullopt) << "the panel was cancelled";
        // A folder in the header's place: it cannot be written, and the button stays.
        std::filesystem::create_directories(folder / "blocked.header");
        output->path = (folder / "blocked.header").string();
        window.btnSaveHeader->click();
        EXPECT_NE(window.lbTip->text().indexOf(Texts::headerNotWritten), -1) << window.lbTip->text().toStdString();
        EXPECT_FALSE(window.btnSaveHeader->isHidden());
        output->path = (folder / "picked.header").string();
        window.btnSaveHeader->click();
        EXPECT_EQ(readFile(*output->path), job->header);
        EXPECT_TRUE(output->asked.back().starts_with(std::string(Texts::headerPanelMessage) + "|"));
        EXPECT_TRUE(output->asked.back().ends_with(std::string("|") + Texts::headerProposedName + "|" +
                                                   Texts::headerPanelType));
    }
    {
        // A header without the recovery key's slot (or with unfinished work) is never passed off as kept.
        job->header = luksHeader(1);
        BLBitLockerProgressWndController window(job, "ELEMENTS");
        window.setHeaderHandover(output, (folder / "early.txt").string());
        finish(window);
        EXPECT_FALSE(std::filesystem::exists(folder / "early.header"));
        EXPECT_NE(window.lbTip->text().indexOf(Texts::headerIncomplete), -1);
        EXPECT_EQ(window.savedHeaderPath(), std::nullopt);
    }
}

TEST_F(EncryptionWindowsTest, WizardStepsThroughItsPagesAndConfirms) {
    BLBitLockerWndController wizard(job, output);
    auto* view = wizard.viewController();
    view->setSaveFolder(folder.string());
    EXPECT_EQ(view->currentPage(), BLBitLockerViewController::passwordPage);
    view->goNext();
    EXPECT_EQ(view->pwdPage->lbError->text().toStdString(), Texts::passwordEmpty);
    EXPECT_EQ(job->prepared.load(), 0);

    view->pwdPage->tfPassword->setText("a/b");
    view->pwdPage->tfRepeat->setText("a/b");
    view->goNext();
    EXPECT_EQ(view->currentPage(), BLBitLockerViewController::loadingPage) << "not BitLocker: a slash is fine";
    EXPECT_EQ(job->password(), "a/b");
    EXPECT_EQ(job->prepared.load(), 1);
    EXPECT_FALSE(view->btnNext->isEnabled());

    EXPECT_EQ(job->send(DMProgressStatus::initializing, 0), 0u);
    EXPECT_EQ(job->send(DMProgressStatus::initialized, 0), 0u);
    pump();
    EXPECT_EQ(view->currentPage(), BLBitLockerViewController::savePage) << "moves on by itself";

    view->goNext();
    EXPECT_EQ(view->currentPage(), BLBitLockerViewController::savePage) << "not before the key is kept";
    EXPECT_FALSE(view->saveViewController->lbSaveFirst->isHidden());
    view->saveRecoveryKey();  // the panel was cancelled
    view->goNext();
    EXPECT_EQ(view->currentPage(), BLBitLockerViewController::savePage);
    output->path = (folder / "key.txt").string();
    job->setRecoveryKey(std::string("777-888"));
    view->saveRecoveryKey();
    ASSERT_EQ(output->asked.size(), 2u);
    EXPECT_EQ(output->asked[1], std::string(Texts::savePanelMessage) + "|" + folder.string() +
                                    "|BitLocker Recovery Key |txt");
    EXPECT_EQ(readFile(*output->path), BLRecoveryKeyFile::text(std::nullopt, std::string("777-888")));
    EXPECT_FALSE(std::filesystem::exists(folder / "key.header")) << "no header, no header file";
    view->goNext();
    EXPECT_EQ(view->currentPage(), BLBitLockerViewController::queryPage);
    EXPECT_TRUE(view->btnStart->isVisibleTo(&wizard));

    // Back to the password page and on again: the job is not prepared twice.
    view->goPrevious();
    view->goPrevious();
    view->goPrevious();
    view->pwdPage->tfPassword->clear();
    view->pwdPage->tfRepeat->clear();
    view->goNext();
    EXPECT_EQ(job->password(), "a/b") << "empty fields keep the password already held";
    EXPECT_EQ(job->prepared.load(), 1);
    EXPECT_EQ(view->currentPage(), BLBitLockerViewController::savePage);

    view->goNext();
    view->btnStart->click();
    EXPECT_EQ(wizard.endCode(), BLBitLockerWndController::codeConfirmed);
    EXPECT_TRUE(job->isContinued());
}

TEST_F(EncryptionWindowsTest, PrintingAlsoUnlocksTheNextPageAndCancelCancelsTheJob) {
    BLBitLockerWndController wizard(job, output);
    auto* view = wizard.viewController();
    view->pwdPage->tfPassword->setText("pw");
    view->pwdPage->tfRepeat->setText("pw");
    view->goNext();
    job->send(DMProgressStatus::initialized, 0);
    pump();
    output->printAnswer = false;
    view->printRecoveryKey();
    view->goNext();
    EXPECT_EQ(view->currentPage(), BLBitLockerViewController::savePage);
    output->printAnswer = true;
    view->printRecoveryKey();
    EXPECT_EQ(output->printed.back(), view->recoveryKeyText());
    view->goNext();
    EXPECT_EQ(view->currentPage(), BLBitLockerViewController::queryPage);
    view->btnCancel->click();
    EXPECT_EQ(wizard.endCode(), BLBitLockerWndController::codeCancelled);
    EXPECT_FALSE(job->isContinued()) << "a daemon held for the go-ahead is let go";
}

TEST_F(EncryptionWindowsTest, ProgressWindowShowsProgressEndAndErrors) {
    BLBitLockerProgressWndController window(job, "ELEMENTS");
    EXPECT_EQ(window.lbEncrypting->text().toStdString(), Texts::encrypting);
    EXPECT_EQ(window.lbTip->text().toStdString(), std::string(DMTr::text(Texts::progressTip)));
    EXPECT_TRUE(window.btnFinish->isHidden());
    EXPECT_EQ(job->send(DMProgressStatus::running, 40), 0u);
    pump();
    EXPECT_EQ(window.progressIndicator->value(), 400);
    EXPECT_EQ(job->send(DMProgressStatus::finished, 100, DMProgressError::FVE_ERROR_OPEN_DEVICE), 131076u)
        << "the delegate answers the error's raw value";
    pump();
    EXPECT_EQ(window.lbEncrypting->text().toStdString(), "The encryption was interrupted (error code 131076).");
    EXPECT_TRUE(window.btnFinish->isHidden());

    job->send(DMProgressStatus::finished, 100);
    pump();
    EXPECT_EQ(window.lbEncrypting->text().toStdString(), Texts::encrypted);
    EXPECT_FALSE(window.btnFinish->isHidden());
    EXPECT_TRUE(window.btnCancel->isHidden());

    BLBitLockerProgressWndController second(job, "ELEMENTS");
    second.btnCancel->click();
    EXPECT_FALSE(job->isContinued());

    // The job's own words on a failure go under the code.
    auto failing = std::make_shared<FakeJob>();
    BLBitLockerProgressWndController third(failing, "ELEMENTS");
    failing->sendText(DMProgressStatus::finished, 50, DMProgressError::FVE_ERROR_ENCRYPT_BLOCK,
                      "the encryption of sdb1 failed: killed by signal 9");
    pump();
    EXPECT_EQ(third.lbTip->text().toStdString(), "the encryption of sdb1 failed: killed by signal 9");
}

// A job refused or failed before the go-ahead says so in the wizard, which then only cancels.
TEST_F(EncryptionWindowsTest, WizardShowsAJobThatEndedBeforeTheGoAhead) {
    BLBitLockerWndController wizard(job, output);
    auto* view = wizard.viewController();
    view->pwdPage->tfPassword->setText("pw");
    view->pwdPage->tfRepeat->setText("pw");
    view->goNext();
    EXPECT_TRUE(view->lbFailure->isHidden());
    job->sendText(DMProgressStatus::finished, 0, DMProgressError::FVE_ERROR_INITIALIZED, "sdb1 is in use");
    pump();
    EXPECT_FALSE(view->lbFailure->isHidden());
    EXPECT_EQ(view->lbFailure->text(), QString(Texts::setupFailedFormat).arg("sdb1 is in use"));
    EXPECT_FALSE(view->btnNext->isEnabled());
    EXPECT_TRUE(view->btnCancel->isEnabled());
}

TEST_F(EncryptionWindowsTest, UnlockWindowOffersTheRememberedPasswordAndKeepsIt) {
    operations->remembered = "right";
    auto drive = DMLocalDriveObject::create("disk6s1");
    {
        QPointer<BLBitlockerUnlockWndController> window = new BLBitlockerUnlockWndController(drive, operations);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        EXPECT_EQ(window->windowTitle().toStdString(), Texts::unlockTitle);
        EXPECT_EQ(window->size(), QSize(500, 180));
        EXPECT_EQ(window->editPassword->text(), "right");
        EXPECT_TRUE(window->btnRemeberPassword->isChecked());
        window->btnRemeberPassword->setChecked(false);
        window->btnUnlock->click();
        pump(1);
        EXPECT_EQ(window->result(), QDialog::Accepted);
        delete window;
    }
    pump(1);
    auto calls = operations->recorded();
    EXPECT_EQ(calls, (std::vector<std::string>{"unlock right", "forget", "open"}));

    BLBitlockerUnlockWndController again(drive, operations);
    EXPECT_TRUE(again.editPassword->text().isEmpty()) << "forgotten";
    again.editPassword->setText("wrong");
    again.btnUnlock->click();
    pump(1);
    EXPECT_EQ(again.lbErrorTips->text().toStdString(), Texts::passwordIncorrect);
    again.setPasswordShown(true);
    EXPECT_EQ(again.editPlaintext->text(), "wrong");
    EXPECT_EQ(again.editPlaintext->cursorPosition(), 5);
    again.editPlaintext->setText("right");
    again.setPasswordShown(false);
    EXPECT_EQ(again.editPassword->text(), "right");
    again.btnRemeberPassword->setChecked(true);
    again.btnUnlock->click();
    pump(1);
    EXPECT_EQ(operations->remembered, "right");
}

TEST_F(EncryptionWindowsTest, UnlockResultTwentyIsExplainedWhileTheUSBBlockerIsOn) {
    operations->wrongResult = BLBitlockerUnlockWndController::resultBlocked;
    BLBitlockerUnlockWndController window(DMLocalDriveObject::create("disk6s1"), operations);
    window.editPassword->setText("x");
    window.btnUnlock->click();
    pump(1);
    EXPECT_EQ(window.lbErrorTips->text().toStdString(), Texts::passwordIncorrect);
    operations->blockerOn = true;
    window.btnUnlock->click();
    pump(1);
    EXPECT_EQ(window.lbErrorTips->text().toStdString(), Texts::blockedByUSBBlocker);
    EXPECT_EQ(operations->remembered, std::nullopt);
}

// A failure the daemon explained is shown as it is, not as a wrong password.
TEST_F(EncryptionWindowsTest, UnlockSaysWhatFailedWhenItWasNotThePassword) {
    operations->failureReason = "Unlocking sdb1 needs the kernel's device-mapper, which this system does not have";
    BLBitlockerUnlockWndController window(DMLocalDriveObject::create("sdb1"), operations);
    window.editPassword->setText("right but no device-mapper");
    window.btnUnlock->click();
    pump(1);
    EXPECT_EQ(window.lbErrorTips->text(),
              QString(Texts::unlockFailedFormat).arg(QString::fromStdString(operations->failureReason)));
    EXPECT_NE(window.result(), QDialog::Accepted);
    operations->failureReason.clear();
    window.btnUnlock->click();
    pump(1);
    EXPECT_EQ(window.lbErrorTips->text().toStdString(), Texts::passwordIncorrect);
}

// ---- the dispatcher's encrypt action ----

class EncryptActionTest : public EncryptionWindowsTest {
protected:
    void SetUp() override {
        EncryptionWindowsTest::SetUp();
        windows = std::make_shared<DMFeatureWindowFactory>(operations, presenter);
        actions = std::make_shared<DMDriveActionManager>(operations, presenter, windows);
        windows->encryptionFlow()->setRecoveryKeyOutput(output);
        window = std::make_unique<QWidget>();
    }
    void TearDown() override {
        window.reset();
        EncryptionWindowsTest::TearDown();
    }
    std::shared_ptr<DMFeatureWindowFactory> windows;
    std::shared_ptr<DMDriveActionManager> actions;
    std::unique_ptr<QWidget> window;
    std::shared_ptr<DMLocalDriveObject> drive = DMLocalDriveObject::create("disk5s1");
};

TEST_F(EncryptActionTest, AlertThenWizardAndMountAgainWhenTheWizardIsCancelled) {
    operations->job = job;
    actions->perform(DMDriveAction::encrypt, drive, window.get());
    pump(1);
    ASSERT_EQ(presenter->shown.size(), 1u);
    EXPECT_EQ(presenter->shown[0].alert.title, std::string(DMTr::text(Texts::alertTitle)));
    EXPECT_EQ(presenter->shown[0].alert.text, std::string(DMTr::text(Texts::alertBitLocker)));
    EXPECT_EQ(presenter->shown[0].alert.buttons, std::vector<std::string>{Texts::alertContinue});
    presenter->answer(0, 0);
    pump(1);
    auto* wizard = windows->encryptionFlow()->bitlockerWndController();
    ASSERT_NE(wizard, nullptr);
    EXPECT_EQ(wizard->encryptObj(), job);
    wizard->viewController()->btnCancel->click();
    pump(1);
    auto calls = operations->recorded();
    EXPECT_EQ(calls.back(), "mount");
    EXPECT_EQ(windows->encryptionFlow()->bitlockerEncryptionProgressWndController(), nullptr);
}

TEST_F(EncryptActionTest, ConfirmedWizardOpensTheProgressWindowAndStarts) {
    operations->fs = DMDriveObjectFilesystem::hfs_plus;
    operations->job = job;
    actions->perform(DMDriveAction::encrypt, drive, window.get());
    pump(1);
    EXPECT_EQ(presenter->shown.at(0).alert.text, std::string(DMTr::text(Texts::alertFileVault)));
    presenter->answer(0, 0);
    pump(1);
    auto* view = windows->encryptionFlow()->bitlockerWndController()->viewController();
    view->pwdPage->tfPassword->setText("pw");
    view->pwdPage->tfRepeat->setText("pw");
    view->goNext();
    job->send(DMProgressStatus::initialized, 0);
    pump();
    view->printRecoveryKey();
    view->goNext();
    view->btnStart->click();
    pump(1);
    auto* progress = windows->encryptionFlow()->bitlockerEncryptionProgressWndController();
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(job->hasStarted());
    EXPECT_EQ(job->prepared.load(), 1);
    job->send(DMProgressStatus::running, 20);
    pump();
    EXPECT_EQ(progress->progressIndicator->value(), 200) << "the progress window is the delegate now";
}

TEST_F(EncryptActionTest, InterruptedEncryptionResumesWithoutTheWizard) {
    job->resume = true;
    operations->job = job;
    actions->perform(DMDriveAction::encrypt, drive, window.get());
    pump(1);
    presenter->answer(0, 0);
    pump(1);
    EXPECT_EQ(windows->encryptionFlow()->bitlockerWndController(), nullptr);
    EXPECT_NE(windows->encryptionFlow()->bitlockerEncryptionProgressWndController(), nullptr);
    EXPECT_EQ(job->prepared.load(), 1);
    EXPECT_TRUE(job->hasStarted());
}

TEST_F(EncryptActionTest, ResumeThatNeedsThePasswordAsksFirstAndCancelStartsNothing) {
    job->resume = true;
    job->needsPassword = true;
    operations->job = job;
    auto ask = [&] {
        actions->perform(DMDriveAction::encrypt, drive, window.get());
        pump(1);
        presenter->answer(presenter->shown.size() - 1, 0);
        pump(1);
        return windows->encryptionFlow()->resumePasswordWndController();
    };
    QPointer<BLResumePasswordWndController> prompt = ask();
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(windows->encryptionFlow()->bitlockerEncryptionProgressWndController(), nullptr);
    EXPECT_FALSE(prompt->btnContinue->isEnabled()) << "no empty password";
    int code = 0;
    QObject::connect(prompt, &QDialog::finished, [&code](int result) { code = result; });
    prompt->btnCancel->click();
    pump(1);
    EXPECT_EQ(code, BLResumePasswordWndController::codeCancelled);
    EXPECT_EQ(code, -1000);
    EXPECT_EQ(job->prepared.load(), 0);
    EXPECT_FALSE(job->hasStarted());
    EXPECT_EQ(job->password(), std::nullopt);
    EXPECT_EQ(windows->encryptionFlow()->bitlockerEncryptionProgressWndController(), nullptr);

    prompt = ask();
    ASSERT_NE(prompt, nullptr);
    prompt->editPassword->setText("secret pw");
    prompt->btnContinue->click();
    pump(1);
    EXPECT_EQ(job->password(), "secret pw") << "set before the job resumes";
    EXPECT_EQ(job->prepared.load(), 1);
    EXPECT_TRUE(job->hasStarted());
    EXPECT_NE(windows->encryptionFlow()->bitlockerEncryptionProgressWndController(), nullptr);
}

// Half encrypted, a volume reads as no file system (nor as the kind it becomes): its resume
// comes straight from "Encrypt", with no method to promise.
TEST_F(EncryptActionTest, AHalfEncryptedVolumeThatReadsAsNoFileSystemResumes) {
    operations->fs = DMDriveObjectFilesystem::unknown;
    job->resume = true;
    job->needsPassword = true;
    operations->job = job;
    actions->perform(DMDriveAction::encrypt, drive, window.get());
    pump(1);
    EXPECT_TRUE(presenter->shown.empty());
    auto* prompt = windows->encryptionFlow()->resumePasswordWndController();
    ASSERT_NE(prompt, nullptr);
    prompt->editPassword->setText("secret pw");
    prompt->btnContinue->click();
    pump(1);
    EXPECT_EQ(job->prepared.load(), 1);
    EXPECT_NE(windows->encryptionFlow()->bitlockerEncryptionProgressWndController(), nullptr);
}

// A resume that makes a new recovery key: the password, then the wizard from its loading page
// (the key shown and kept before the go-ahead), then the progress window, which hands the
// header over beside the key.
TEST_F(EncryptActionTest, AResumeWithANewKeyShowsItBeforeTheGoAheadAndHandsOverTheHeader) {
    job->resume = true;
    job->needsPassword = true;
    job->newKeyOnResume = true;
    job->header = luksHeader(3);
    operations->job = job;
    actions->perform(DMDriveAction::encrypt, drive, window.get());
    pump(1);
    presenter->answer(0, 0);
    pump(1);
    auto* prompt = windows->encryptionFlow()->resumePasswordWndController();
    ASSERT_NE(prompt, nullptr);
    prompt->editPassword->setText("secret pw");
    prompt->btnContinue->click();
    pump(1);
    auto* wizard = windows->encryptionFlow()->bitlockerWndController();
    ASSERT_NE(wizard, nullptr);
    auto* view = wizard->viewController();
    EXPECT_EQ(view->currentPage(), BLBitLockerViewController::loadingPage);
    EXPECT_EQ(job->prepared.load(), 1);
    EXPECT_FALSE(job->hasStarted()) << "no go-ahead before the key is kept";
    EXPECT_EQ(windows->encryptionFlow()->bitlockerEncryptionProgressWndController(), nullptr);
    job->setRecoveryKey(std::string("123456-654321"));
    job->send(DMProgressStatus::initialized, 0);
    pump();
    ASSERT_EQ(view->currentPage(), BLBitLockerViewController::savePage);
    EXPECT_NE(view->saveViewController->lbExplanation->text().indexOf(Texts::resumeNewKey), -1);
    EXPECT_FALSE(view->btnPrevious->isVisibleTo(view)) << "a resume has no password page to go back to";
    view->setSaveFolder(folder.string());
    output->path = (folder / "key.txt").string();
    view->saveRecoveryKey();
    EXPECT_NE(readFile(*output->path).find("123456-654321"), std::string::npos);
    view->goNext();
    view->btnStart->click();
    pump(1);
    EXPECT_TRUE(job->hasStarted());
    auto* progress = windows->encryptionFlow()->bitlockerEncryptionProgressWndController();
    ASSERT_NE(progress, nullptr);
    job->send(DMProgressStatus::finished, 100);
    for (int i = 0; i < 20 && !progress->savedHeaderPath(); ++i) {
        pump(0.1);
    }
    EXPECT_EQ(progress->savedHeaderPath(), (folder / "key.header").string());
    EXPECT_EQ(readFile((folder / "key.header").string()), job->header);

    // Cancelling a resumed wizard mounts nothing: nothing was unmounted for it.
    auto calls = operations->recorded();
    auto again = std::make_shared<FakeJob>();
    again->resume = true;
    again->needsPassword = true;
    again->newKeyOnResume = true;
    operations->job = again;
    actions->perform(DMDriveAction::encrypt, drive, window.get());
    pump(1);
    presenter->answer(presenter->shown.size() - 1, 0);
    pump(1);
    windows->encryptionFlow()->resumePasswordWndController()->editPassword->setText("pw");
    windows->encryptionFlow()->resumePasswordWndController()->btnContinue->click();
    pump(1);
    windows->encryptionFlow()->bitlockerWndController()->viewController()->btnCancel->click();
    pump(1);
    EXPECT_FALSE(again->isContinued());
    auto after = operations->recorded();
    EXPECT_EQ(std::count(after.begin(), after.end(), "mount"), std::count(calls.begin(), calls.end(), "mount"));
}

// A drive that cannot be encrypted is explained at once: no method is promised, and nothing
// asks for a job (which would unmount the drive).
TEST_F(EncryptActionTest, NoJobSaysWhyBeforeAnythingAndApfsOnBatteryAndWithoutAWindowStartNothing) {
    actions->perform(DMDriveAction::encrypt, drive, window.get());
    pump(1);
    ASSERT_EQ(presenter->shown.size(), 1u);
    EXPECT_EQ(presenter->shown[0].alert.title, Texts::cannotEncryptTitle);
    EXPECT_EQ(presenter->shown[0].alert.text, Texts::bitLockerNotAvailable);
    auto calls = operations->recorded();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "encryptor"), 0);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "unmount"), 0);

    operations->job = job;
    operations->fs = DMDriveObjectFilesystem::apfs;
    operations->power = false;
    actions->perform(DMDriveAction::encrypt, drive, window.get());
    pump(1);
    ASSERT_EQ(presenter->shown.size(), 2u);
    EXPECT_EQ(presenter->shown[1].alert.title, std::string(DMTr::text(Texts::apfsNeedsPower)));
    EXPECT_EQ(presenter->shown[1].alert.buttons, std::vector<std::string>{std::string(DMTr::text(Texts::ok))});

    operations->fs = DMDriveObjectFilesystem::unknown;
    actions->perform(DMDriveAction::encrypt, drive, window.get());
    pump(1);
    ASSERT_EQ(presenter->shown.size(), 3u);
    EXPECT_EQ(presenter->shown[2].alert.text, Texts::unsupportedFileSystem);

    // Without a window the alert runs on its own and nothing starts.
    operations->fs = DMDriveObjectFilesystem::exfat;
    actions->perform(DMDriveAction::encrypt, drive, nullptr);
    pump(1);
    ASSERT_EQ(presenter->shown.size(), 4u);
    EXPECT_EQ(presenter->shown[3].window, nullptr);
    presenter->answer(3, 0);
    pump(1);
    calls = operations->recorded();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "encryptor"), 0);
}

// The header the daemon keeps is saved where the user picks, checked, and the user told
// where; without one (or a write that fails) the alert says why.
TEST_F(EncryptActionTest, ExportHeaderSavesTheKeptHeaderWhereTheUserPicks) {
    operations->header = luksHeader(1);
    output->path = (folder / "sdb1.header").string();
    actions->perform(DMDriveAction::exportHeader, drive, window.get());
    pump(1);
    EXPECT_EQ(readFile(*output->path), operations->header);
    ASSERT_EQ(presenter->shown.size(), 1u);
    EXPECT_EQ(presenter->shown[0].alert.title, Texts::exportTitle);
    EXPECT_EQ(presenter->shown[0].alert.text,
              QString(Texts::exportSavedFormat).arg("ELEMENTS", QString::fromStdString(*output->path)).toStdString());
    EXPECT_TRUE(output->asked.back().ends_with(std::string("|") + Texts::headerProposedName + " ELEMENTS|" +
                                               Texts::headerPanelType));

    operations->header.clear();
    actions->perform(DMDriveAction::exportHeader, drive, window.get());
    pump(1);
    ASSERT_EQ(presenter->shown.size(), 2u);
    EXPECT_EQ(presenter->shown[1].alert.text,
              QString(Texts::exportFailedFormat).arg("ELEMENTS", Texts::headerUnavailable).toStdString());
    EXPECT_EQ(output->asked.size(), 1u) << "nothing to save, no panel";
}

TEST_F(EncryptActionTest, UnlockOpensOneUnlockWindowAndNeedsAWindow) {
    actions->perform(DMDriveAction::unlock, drive, nullptr);
    EXPECT_EQ(windows->encryptionFlow()->bitlockerUnlockWndController(), nullptr);
    actions->perform(DMDriveAction::unlock, drive, window.get());
    QPointer<BLBitlockerUnlockWndController> first = windows->encryptionFlow()->bitlockerUnlockWndController();
    ASSERT_TRUE(first);
    actions->perform(DMDriveAction::unlock, drive, window.get());
    pump();
    EXPECT_FALSE(first) << "replaced";
    auto* unlock = windows->encryptionFlow()->bitlockerUnlockWndController();
    ASSERT_NE(unlock, nullptr);

    // Unlocked: the dispatcher opens the drive, which came up mounted.
    unlock->editPassword->setText("right");
    unlock->btnUnlock->click();
    pump(1);
    auto calls = operations->recorded();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "open"), 1);
    EXPECT_EQ(calls.back(), "open");
}

// ---- pictures for docs/screenshots ----

TEST_F(EncryptionWindowsTest, Screenshots) {
    const char* dir = std::getenv("HARBORMIND_SCREENSHOT_DIR");
    if (dir == nullptr) {
        GTEST_SKIP() << "HARBORMIND_SCREENSHOT_DIR is not set";
    }
    test::ScreenshotLook look;
    for (bool dark : {false, true}) {
        look.use(dark);
        const std::string suffix = dark ? "-dark.png" : ".png";
        auto save = [&](QWidget& widget, const std::string& name) {
            widget.show();
            pump();
            ASSERT_TRUE(widget.grab().save(QString::fromStdString(std::string(dir) + "/" + name + suffix)));
        };
        auto pageJob = std::make_shared<FakeJob>();
        BLBitLockerWndController wizard(pageJob, output);
        auto* view = wizard.viewController();
        view->pwdPage->tfPassword->setText("secret");
        view->pwdPage->tfRepeat->setText("secre");
        view->goNext();
        save(wizard, "encryption-wizard-password");
        view->pwdPage->tfRepeat->setText("secret");
        view->goNext();
        save(wizard, "encryption-wizard-loading");
        pageJob->send(DMProgressStatus::initialized, 0);
        pump();
        save(wizard, "encryption-wizard-recovery-key");
        view->printRecoveryKey();
        view->goNext();
        save(wizard, "encryption-wizard-confirm");

        BLBitLockerProgressWndController progress(pageJob, "ELEMENTS (sdb1)");
        pageJob->send(DMProgressStatus::running, 37);
        save(progress, "encryption-progress");

        operations->remembered = std::nullopt;
        BLBitlockerUnlockWndController unlock(DMLocalDriveObject::create("sdb1"), operations);
        unlock.lbDriveName->setText("ELEMENTS (sdb1)");
        unlock.editPassword->setText("wrong");
        unlock.lbErrorTips->setText(Texts::passwordIncorrect);
        save(unlock, "unlock-window");

        auto headerJob = std::make_shared<FakeJob>();
        headerJob->header = luksHeader(2);
        BLBitLockerProgressWndController handover(headerJob, "Linux Stick (sdc1)");
        handover.setHeaderHandover(output, std::nullopt);
        headerJob->send(DMProgressStatus::finished, 100);
        for (int i = 0; i < 20 && handover.btnSaveHeader->isHidden(); ++i) {
            pump(0.1);
        }
        save(handover, "encryption-progress-header");

        auto resumeJob = std::make_shared<FakeJob>();
        BLBitLockerWndController resumedWizard(resumeJob, output);
        resumeJob->setPassword(std::string("secret"));
        resumedWizard.viewController()->startResumed();
        resumeJob->send(DMProgressStatus::initialized, 0);
        pump();
        save(resumedWizard, "encryption-wizard-resume-key");

        BLResumePasswordWndController resume("Linux Stick (sdc1)");
        resume.editPassword->setText("secret");
        save(resume, "encryption-resume-password");
    }
}

}  // namespace
}  // namespace harbormind
