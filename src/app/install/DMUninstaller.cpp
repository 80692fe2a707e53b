#include "app/install/DMUninstaller.h"

#include <QCoreApplication>
#include <QStringList>

#include "app/common/DMAlertPresenter.h"
#include "app/common/DMTexts.h"
#include "app/common/DMTr.h"
#include "platform/PackageManager.h"
#include "platform/UserData.h"
#include "support/Dispatch.h"
#include "support/Log.h"
#include "usbblocker/USBBlockerSettings.h"
#include "usbblocker/USBBlockerSwitch.h"

namespace harbormind {

DMUninstaller::DMUninstaller(std::shared_ptr<DMAlertPresenter> presenter, UserData* userData,
                             PackageManager* packages, std::function<void()> terminate)
    : presenter_(std::move(presenter)),
      userData_(userData),
      packages_(packages),
      terminate_(std::move(terminate)),
      stopAgent_([] { return !USBBlockerSettings::current().isOn() || USBBlockerSwitch::unloadAgent(); }) {}

namespace {

void fail(const std::shared_ptr<DMAlertPresenter>& presenter, QWidget* window, const std::string& text) {
    Log::error("Uninstall: " + text);
    presenter->present(DMAlert{DMTr::text(DMTexts::uninstall), text, {DMTr::text(DMTexts::okButton)}}, window, nullptr);
}

// What the user loses besides the program, naming their saved network drives.
std::string whatGoes(const std::vector<std::string>& networkDrives) {
    QString text = QCoreApplication::translate(DMTr::context,
        "Your settings, the passwords saved for your drives, and your saved network drives with their "
        "passwords are removed too.");
    if (!networkDrives.empty()) {
        QStringList names;
        for (const std::string& name : networkDrives) {
            names << QString::fromStdString(name);
        }
        text += QStringLiteral("\n\n") +
                QCoreApplication::translate(DMTr::context, "Saved network drives: %1").arg(names.join(QStringLiteral(", ")));
    }
    return text.toStdString();
}

}  // namespace

void DMUninstaller::start(QWidget* window) {
    // Return and Escape answer "No": removing is only ever the user's click on "Yes".
    DMAlert alert{DMTr::text(DMTexts::uninstall), DMTr::text(DMTexts::uninstallText), {DMTr::text(DMTexts::yesButton), DMTr::text(DMTexts::noButton)}, 1};
    alert.informativeText = whatGoes(savedNetworkDrives_ ? savedNetworkDrives_() : std::vector<std::string>{});
    alert.defaultButton = 1;
    UserData* userData = userData_;
    PackageManager* packages = packages_;
    auto terminate = terminate_;
    auto stopAgent = stopAgent_;
    auto presenter = presenter_;
    presenter_->present(alert, window, [presenter, window, userData, packages, terminate, stopAgent](int button) {
        if (button != 0 || userData == nullptr) {
            return;
        }
        if (stopAgent && !stopAgent()) {
            fail(presenter, window, DMTr::text(DMTexts::uninstallAgentRunning));
            return;
        }
        Dispatch::global()->async([presenter, window, userData, packages, terminate] {
            if (!userData->removeAll()) {
                Log::error("Uninstall stopped: some of this user's files could not be removed");
                return;
            }
            auto package = packages != nullptr ? packages->applicationPackage() : std::nullopt;
            bool removed = !package || packages->remove(*package);
            Dispatch::main().async([presenter, window, removed, package, terminate] {
                if (!removed) {
                    fail(presenter, window, DMTr::text(DMTexts::uninstallPackageFailed) + std::string(" (") + *package + ")");
                } else if (terminate) {
                    terminate();
                }
            });
        });
    });
}

}  // namespace harbormind
