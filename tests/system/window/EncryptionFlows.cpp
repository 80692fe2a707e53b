// Encrypting, resuming, unlocking and locking from the window: the "Drive encryption" alert,
// the wizard (password, recovery key saved to a file, go-ahead), the resume password window,
// the progress window and the unlock window, driven through their own controls.
#include <QLabel>
#include <QPointer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

#include <set>

#include "app/details/DMBaseViewController.h"
#include "app/shell/DMFeatureWindowFactory.h"
#include "app/widgets/DMMacDockView.h"
#include "app/shell/DMWindowController.h"
#include "app/encryption/BLBitLockerProgressWndController.h"
#include "app/encryption/BLBitLockerViewController.h"
#include "app/encryption/BLBitLockerWndController.h"
#include "app/encryption/BLBitlockerUnlockWndController.h"
#include "app/encryption/BLEncryptionTexts.h"
#include "app/encryption/BLEncryptionFlow.h"
#include "app/encryption/BLRecoveryKeyOutput.h"
#include "app/encryption/BLResumePasswordWndController.h"
#include "app/encryption/BLSaveViewController.h"
#include "app/encryption/BLSetPwdViewController.h"
#include "drivemodel/DMLocalDriveLuksEncryption.h"
#include "system/window/WindowFlowContext.h"
#include "system/window/WindowFlows.h"

namespace harbormind::test {
namespace {

// Encrypting a small volume takes seconds; slowed down by a test, a minute or two.
constexpr double encryptionLimit = 240;
// A window or the daemon's answer to one step.
constexpr double stepLimit = 60;

// The save panel, answered with the path the test chose for the recovery key.
class ChosenKeyPath final : public BLRecoveryKeyOutput {
public:
    explicit ChosenKeyPath(std::string path) : path_(std::move(path)) {}
    std::optional<std::string> choosePath(QWidget*, const std::string&, const std::string&, const std::string&,
                                          const std::string&) override {
        return path_;
    }
    bool print(QWidget*, const std::string&) override { return false; }

private:
    std::string path_;
};

void type(QLineEdit* field, const std::string& text) {
    field->setText(QString::fromStdString(text));
}

std::string shown(const QLabel* label) {
    return label->isHidden() ? std::string() : label->text().toStdString();
}

// Clicks ITEM on DEVICE's action bar; the report says why not when it cannot.
DMBaseViewController* clickItem(WindowFlowContext& context, const std::string& device, const std::string& item,
                                nlohmann::json& report) {
    DMBaseViewController* view = context.select(device);
    if (view == nullptr) {
        report.update(context.notShown(device));
        return nullptr;
    }
    report["before"] = context.describe(device);
    report["actionBar"] = WindowFlowContext::actionBar(*view);
    if (!report["actionBar"].contains(item) || !report["actionBar"][item].value("enabled", false)) {
        report["clicked"] = false;
        return nullptr;
    }
    view->actionBar()->button(item)->click();
    report["clicked"] = true;
    return view;
}

// Drives whichever encryption window is open through one step; false when none needs the user.
class EncryptionSteps {
public:
    EncryptionSteps(WindowFlowContext& context, std::string password)
        : flow_(*context.window().driveWindows()->encryptionFlow()), password_(std::move(password)) {}

    // The wizard's or the resume window's next step, once it can be taken.
    bool step(nlohmann::json& report) {
        if (BLResumePasswordWndController* prompt = flow_.resumePasswordWndController();
            prompt != nullptr && prompt->isVisible()) {
            report["resumePasswordAsked"] = true;
            type(prompt->editPassword, password_);
            prompt->btnContinue->click();
            return true;
        }
        BLBitLockerWndController* wizard = flow_.bitlockerWndController();
        if (wizard == nullptr || !wizard->isVisible()) {
            return false;
        }
        BLBitLockerViewController& pages = *wizard->viewController();
        report["wizardFailure"] = shown(pages.lbFailure);
        if (!shown(pages.lbFailure).empty()) {
            return false;
        }
        switch (pages.currentPage()) {
        case BLBitLockerViewController::passwordPage:
            if (pages.pwdPage->tfPassword->text().isEmpty()) {
                type(pages.pwdPage->tfPassword, password_);
                type(pages.pwdPage->tfRepeat, password_);
                pages.btnNext->click();
                return true;
            }
            return false;
        case BLBitLockerViewController::savePage:
            report["recoveryKeyShown"] = true;
            if (!pages.saveViewController->isSaved()) {
                pages.saveViewController->btnSave->click();
                report["keySaved"] = pages.saveViewController->isSaved();
                return pages.saveViewController->isSaved();
            }
            pages.btnNext->click();
            return true;
        case BLBitLockerViewController::queryPage:
            pages.btnStart->click();
            return true;
        default:
            return false;
        }
    }

    BLBitLockerProgressWndController* progress() const {
        BLBitLockerProgressWndController* window = flow_.bitlockerEncryptionProgressWndController();
        return window != nullptr && window->isVisible() ? window : nullptr;
    }

private:
    BLEncryptionFlow& flow_;
    std::string password_;
};

nlohmann::json progressReport(const BLBitLockerProgressWndController& window) {
    return {{"title", window.lbEncrypting->text().toStdString()},
            {"tip", window.lbTip->text().toStdString()},
            {"bar", window.progressIndicator->value()},
            {"completedShown", !window.btnFinish->isHidden()},
            {"cancelShown", !window.btnCancel->isHidden()},
            {"headerSavedAs", window.savedHeaderPath().value_or("")}};
}

// Watches the progress window until the job ends; with `stopAt` (thousandths), clicks its
// "Cancel" once the bar passed that far, then waits for the daemon's last word on the job.
void watchProgress(WindowFlowContext& context, BLBitLockerProgressWndController* window, int stopAt,
                   nlohmann::json& report) {
    QPointer<BLBitLockerProgressWndController> open(window);
    std::shared_ptr<DMLocalDriveEncryptable> job = window->encryptObj();
    std::set<int> bars;
    bool stopped = false;
    report["ended"] = context.waitFor(
        [&] {
            if (!open) {
                return true;
            }
            bars.insert(open->progressIndicator->value());
            if (stopAt > 0 && !stopped && open->progressIndicator->value() >= stopAt && !open->btnCancel->isHidden()) {
                stopped = true;
                report["stoppedAtBar"] = open->progressIndicator->value();
                open->btnCancel->click();
                return !open;
            }
            return !open->btnFinish->isHidden() ||
                   open->lbEncrypting->text().toStdString() != BLEncryptionTexts::encrypting;
        },
        encryptionLimit);
    report["bars"] = bars.size();
    report["highestBar"] = bars.empty() ? 0 : *bars.rbegin();
    if (open) {
        // The header is fetched after the end; give it its moment.
        context.waitFor([&] { return !open || open->btnFinish->isHidden() || open->savedHeaderPath() || !open->btnSaveHeader->isHidden(); }, 10);
    }
    if (open) {
        report["progress"] = progressReport(*open);
    }
    auto luks = std::dynamic_pointer_cast<DMLocalDriveLuksEncryption>(job);
    if (luks) {
        context.waitFor([&] { return !luks->outcome().message.empty(); }, stepLimit);
        report["daemonAnswer"] = {{"code", luks->outcome().code}, {"message", luks->outcome().message}};
    }
}

// DEVICE PASSWORD KEYFILE [STOP]: "Encrypt" on DEVICE's action bar, the alert continued, the
// password typed (again, to resume), the recovery key saved as KEYFILE and the encryption
// started; watched to its end, or stopped with "Cancel" once the bar passed STOP thousandths.
nlohmann::json encrypt(WindowFlowContext& context, const std::vector<std::string>& arguments) {
    const std::string& device = arguments.at(0);
    const int stopAt = arguments.size() > 3 ? std::stoi(arguments[3]) : 0;
    DMFeatureWindowFactory& windows = *context.window().driveWindows();
    windows.encryptionFlow()->setRecoveryKeyOutput(std::make_shared<ChosenKeyPath>(arguments.at(2)));
    context.presenter().queueAnswer(0);
    nlohmann::json report;
    if (clickItem(context, device, "Encrypt", report) == nullptr) {
        return report;
    }
    EncryptionSteps steps(context, arguments.at(1));
    BLBitLockerProgressWndController* progress = nullptr;
    // Done when the progress window opened, or the flow stopped at something the user reads.
    context.waitFor(
        [&] {
            progress = steps.progress();
            if (progress != nullptr || context.presenter().count() > 1) {
                return true;
            }
            steps.step(report);
            return !report.value("wizardFailure", "").empty();
        },
        stepLimit);
    if (progress != nullptr) {
        watchProgress(context, progress, stopAt, report);
    } else if (BLBitLockerWndController* wizard = windows.encryptionFlow()->bitlockerWndController()) {
        // What the user can do next on a wizard that failed: cancel it (which mounts the drive again).
        report["wizardPage"] = wizard->viewController()->currentPage();
        report["passwordRefusal"] = wizard->viewController()->pwdPage->lbError->text().toStdString();
        wizard->viewController()->btnCancel->click();
    }
    context.waitFor([] { return false; }, 1);
    context.settle();
    report["after"] = context.describe(device);
    if (DMBaseViewController* view = context.select(device)) {
        report["actionBarAfter"] = WindowFlowContext::actionBar(*view);
    }
    return report;
}

// DEVICE PASSWORD: "Unlock" on DEVICE's action bar, the password typed into the unlock window;
// done when the window closed (unlocked) or said why not.
nlohmann::json unlock(WindowFlowContext& context, const std::vector<std::string>& arguments) {
    const std::string& device = arguments.at(0);
    nlohmann::json report;
    if (clickItem(context, device, "Unlock", report) == nullptr) {
        return report;
    }
    BLEncryptionFlow& flow = *context.window().driveWindows()->encryptionFlow();
    QPointer<BLBitlockerUnlockWndController> window = flow.bitlockerUnlockWndController();
    if (!window) {
        report["error"] = "no unlock window opened";
        return report;
    }
    type(window->editPassword, arguments.at(1));
    window->btnUnlock->click();
    report["answered"] = context.waitFor(
        [&] { return !window || !window->isVisible() || !window->lbErrorTips->text().isEmpty(); }, stepLimit);
    report["unlockWindowClosed"] = !window || !window->isVisible();
    report["refusal"] = window ? window->lbErrorTips->text().toStdString() : std::string();
    if (window) {
        window->btnCancel->click();
    }
    // The unlocked volume is mounted by the daemon; the tree hears of it shortly after.
    context.waitFor([&] { return context.describe(device).value("mounted", false); }, 10);
    context.settle();
    report["after"] = context.describe(device);
    return report;
}

}  // namespace

void registerEncryptionFlows(WindowFlows& flows) {
    flows.add("encrypt", "DEVICE PASSWORD KEYFILE [STOP]: encrypt (or resume) from the action bar, the key saved as KEYFILE; "
                         "\"Cancel\" on the progress window once its bar passed STOP thousandths",
              encrypt);
    flows.add("unlock", "DEVICE PASSWORD: the unlock window, the password typed", unlock);
}

}  // namespace harbormind::test
