#include "app/install/DMDriverInstaller.h"

#include "app/common/DMAlertPresenter.h"
#include "app/install/DMPermissionGuideWindow.h"
#include "app/common/DMTexts.h"
#include "app/common/DMTr.h"
#include "platform/PackageManager.h"
#include "platform/Platform.h"
#include "support/Dispatch.h"
#include "xpc/DaemonReachability.h"

namespace harbormind {

DMDriverInstaller::Services DMDriverInstaller::platformServices(std::shared_ptr<DMAlertPresenter> presenter,
                                                                std::function<QWidget*()> window) {
    Services services;
    services.presenter = std::move(presenter);
    services.packages = Platform::current().packageManager();
    services.driverInstalled = [] { return Platform::current().isNtfsDriverInstalled(); };
    services.helperFailure = [] { return DaemonReachability::failure(); };
    services.window = std::move(window);
    return services;
}

DMDriverInstaller::DMDriverInstaller(Services services) : services_(std::move(services)) {}

DMDriverInstaller::~DMDriverInstaller() {
    *alive_ = false;
    if (guide_) {
        delete guide_.data();
    }
}

DMMissingPieces DMDriverInstaller::missingPieces() const {
    DMMissingPieces pieces;
    pieces.ntfsDriver = services_.driverInstalled && !services_.driverInstalled();
    if (services_.helperFailure) {
        pieces.helperService = services_.helperFailure();
    }
    return pieces;
}

void DMDriverInstaller::install(std::function<void()> then) {
    PackageManager* packages = services_.packages;
    std::weak_ptr<bool> alive = alive_;
    Dispatch::global()->async([packages, alive, then = std::move(then)] {
        if (packages != nullptr) {
            packages->install(packages->ntfsDriverPackage());
        }
        Dispatch::main().async([alive, then] {
            if (alive.lock() && then) {
                then();
            }
        });
    });
}

void DMDriverInstaller::installFromMenu() {
    auto afterwards = [this] {
        if (missingPieces().any()) {
            showGuide();
            return;
        }
        services_.presenter->present(
            {DMTr::text(DMTexts::installSuccessTitle), DMTr::text(DMTexts::installSuccessText), {DMTr::text(DMTexts::okButton)}},
            services_.window ? services_.window() : nullptr, nullptr);
    };
    if (missingPieces().ntfsDriver && services_.packages != nullptr) {
        install(afterwards);
        return;
    }
    afterwards();
}

void DMDriverInstaller::installFromDriveView(std::function<void()> done) {
    install([this, done = std::move(done)] {
        DMMissingPieces missing = missingPieces();
        if (missing.ntfsDriver) {
            DMAlert alert{DMTr::text(DMTexts::installManuallyTitle),
                          DMTr::text(DMTexts::installManuallyText),
                          {DMTr::text(DMTexts::installManuallyButton), DMTr::text(DMTexts::cancelButton)}};
            std::weak_ptr<bool> alive = alive_;
            services_.presenter->present(alert, services_.window ? services_.window() : nullptr,
                                         [this, alive](int button) {
                                             if (alive.lock() && button == 0) {
                                                 showGuide();
                                             }
                                         });
        } else if (missing.helperService) {
            showGuide();
        }
        if (done) {
            done();
        }
    });
}

void DMDriverInstaller::showGuide() {
    if (guide_) {
        guide_->close();
        delete guide_.data();
    }
    auto refreshGuide = [this] {
        if (guide_) {
            guide_->refresh();
        }
    };
    auto* guide = new DMPermissionGuideWindow([this] { return missingPieces(); },
                                              [this, refreshGuide] { install(refreshGuide); },
                                              services_.window ? services_.window() : nullptr);
    guide->setAttribute(Qt::WA_DeleteOnClose);
    guide_ = guide;
    guide->open();
}

}  // namespace harbormind
