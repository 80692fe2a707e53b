#include "app/DMUninstaller.h"

#include "app/DMAlertPresenter.h"
#include "app/DMTexts.h"
#include "platform/PackageManager.h"
#include "platform/UserData.h"
#include "support/Dispatch.h"
#include "support/Log.h"

namespace harbormind {

DMUninstaller::DMUninstaller(std::shared_ptr<DMAlertPresenter> presenter, UserData* userData,
                             PackageManager* packages, std::function<void()> terminate)
    : presenter_(std::move(presenter)),
      userData_(userData),
      packages_(packages),
      terminate_(std::move(terminate)) {}

void DMUninstaller::start(QWidget* window) {
    // Escape answers "No": removing is only ever the user's click.
    DMAlert alert{DMTexts::uninstall, DMTexts::uninstallText, {DMTexts::yesButton, DMTexts::noButton}, 1};
    UserData* userData = userData_;
    PackageManager* packages = packages_;
    auto terminate = terminate_;
    presenter_->present(alert, window, [userData, packages, terminate](int button) {
        if (button != 0 || userData == nullptr) {
            return;
        }
        Dispatch::global()->async([userData, packages, terminate] {
            if (!userData->removeAll()) {
                Log::error("Uninstall stopped: some of this user's files could not be removed");
                return;
            }
            if (packages != nullptr) {
                if (auto package = packages->applicationPackage()) {
                    if (!packages->remove(*package)) {
                        Log::error("Uninstall: the package manager did not remove " + *package);
                    }
                }
            }
            Dispatch::main().async([terminate] {
                if (terminate) {
                    terminate();
                }
            });
        });
    });
}

}  // namespace harbormind
