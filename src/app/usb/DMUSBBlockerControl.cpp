#include "app/usb/DMUSBBlockerControl.h"

#include "app/DMAlertPresenter.h"
#include "app/DMDriveActionManager.h"
#include "app/DMDriveOperations.h"
#include "app/usb/USBBLockerWindowController.h"
#include "app/usb/USBBlockerSettingEntryWindowController.h"
#include "app/usb/USBBlockerStopWindowController.h"
#include "app/usb/USBNotices.h"
#include "app/usb/USBSetPasswordWindowController.h"
#include "drivemodel/DMDriveObjectProtocol.h"
#include "usbblocker/DriveTools.h"
#include "usbblocker/USBBlockerKeyChain.h"
#include "usbblocker/USBBlockerTexts.h"
#include "usbblocker/USBDiskList.h"

namespace harbormind {
namespace {

constexpr std::int64_t bytesPerListedGigabyte = 1000000000;

// Closes and forgets the window in a slot.
template <typename Window>
void closeSlot(QPointer<Window>& slot) {
    if (slot) {
        Window* window = slot.data();
        slot.clear();
        QObject::disconnect(window, &QDialog::finished, nullptr, nullptr);
        window->close();
        window->deleteLater();
    }
}

// Shows `window` as a sheet and calls `ended` with its code once it is closed.
template <typename Window>
void presentSheet(Window* window, std::function<void(int)> ended) {
    QObject::connect(window, &QDialog::finished, window, [window, ended = std::move(ended)](int code) {
        window->deleteLater();
        ended(code);
    });
    window->open();
}

}  // namespace

DMUSBBlockerControl::Services DMUSBBlockerControl::platformServices(std::shared_ptr<DMAlertPresenter> presenter) {
    Services services;
    services.presenter = std::move(presenter);
    services.blockerSwitch =
        std::make_shared<USBBlockerSwitch>(std::make_shared<DMUSBBlockerWrapper>(), USBBlockerSettings::current());
    services.keyChain = &USBBlockerKeyChain::shared();
    services.diskList = &USBDiskList::shared();
    services.driveTools = &DriveTools::shared();
    return services;
}

DMUSBBlockerControl::DMUSBBlockerControl(Services services, std::function<QWidget*()> mainWindow)
    : services_(std::move(services)), mainWindow_(std::move(mainWindow)) {
    // Made at once: it loads the lists, which the white-list check before mounting reads.
    usbBLockerWindowController();
}

DMUSBBlockerControl::~DMUSBBlockerControl() {
    closeSlot(setPasswordWindow_);
    closeSlot(stopWindow_);
    closeSlot(entryWindow_);
    if (settingsWindow_) {
        settingsWindow_->deleteLater();
    }
}

USBSetPasswordWindowController* DMUSBBlockerControl::usbSetPasswordWindowController() const {
    return setPasswordWindow_.data();
}

USBBlockerStopWindowController* DMUSBBlockerControl::usbBlockerStopwindowController() const {
    return stopWindow_.data();
}

USBBlockerSettingEntryWindowController* DMUSBBlockerControl::usbEntryWindowController() const {
    return entryWindow_.data();
}

USBBLockerWindowController* DMUSBBlockerControl::usbBLockerWindowController() {
    if (!settingsWindow_) {
        settingsWindow_ = new USBBLockerWindowController(mainWindow_(), *services_.diskList, *services_.keyChain,
                                                         services_.blockerSwitch->settings(), services_.presenter);
    }
    return settingsWindow_;
}

void DMUSBBlockerControl::startUSBBlockerWithSender(int tag) {
    if (tag == 0) {
        start();
    } else {
        stop();
    }
}

void DMUSBBlockerControl::start() {
    if (services_.blockerSwitch->settings().switchValue()) {
        enable(false);
        return;
    }
    closeSlot(setPasswordWindow_);
    setPasswordWindow_ = new USBSetPasswordWindowController(mainWindow_(), *services_.keyChain);
    presentSheet(setPasswordWindow_.data(), [this](int code) {
        setPasswordWindow_.clear();
        if (code == USBPasswordWindow::codeDone) {
            enable(true);
        }
    });
}

void DMUSBBlockerControl::enable(bool thenOpenSettings) {
    std::shared_ptr<DMAlertPresenter> presenter = services_.presenter;
    bool agreed = services_.blockerSwitch->enable([presenter](bool loaded) {
        if (loaded) {
            presenter->present(USBNotices::notice(USBBlockerTexts::enabled), nullptr, nullptr);
        }
    });
    if (!agreed) {
        alert(USBBlockerTexts::enableFailed);
        return;
    }
    if (thenOpenSettings) {
        showSettingsWindow();
    }
}

void DMUSBBlockerControl::stop() {
    closeSlot(stopWindow_);
    stopWindow_ = new USBBlockerStopWindowController(mainWindow_(), *services_.keyChain, services_.presenter);
    presentSheet(stopWindow_.data(), [this](int code) {
        stopWindow_.clear();
        if (code == USBPasswordWindow::codeDone && services_.blockerSwitch->removeAgentFile()) {
            notice(USBBlockerTexts::stopped);
        }
    });
}

void DMUSBBlockerControl::settingUSBBlokcerWithSender() {
    openEntryWindow(USBBlockerTexts::settingsTip, [this](int code) {
        if (code != USBPasswordWindow::codeCancelled) {
            showSettingsWindow();
        }
    });
}

void DMUSBBlockerControl::showSettingsWindow() {
    USBBLockerWindowController* window = usbBLockerWindowController();
    window->select(0);
    window->open();
}

USBBlockerSettingEntryWindowController* DMUSBBlockerControl::openEntryWindow(const std::string& tips,
                                                                             std::function<void(int code)> ended) {
    closeSlot(entryWindow_);
    entryWindow_ = new USBBlockerSettingEntryWindowController(mainWindow_(), *services_.keyChain, tips);
    presentSheet(entryWindow_.data(), [this, ended = std::move(ended)](int code) {
        entryWindow_.clear();
        ended(code);
    });
    return entryWindow_;
}

void DMUSBBlockerControl::checkWhiteListBeforeMounting(const std::string& bsdName,
                                                       const std::function<void()>& mountGoesOn) {
    std::optional<Drive> entry = services_.driveTools->drive(bsdName);
    if (!entry) {
        return;
    }
    std::int64_t size = entry->size / bytesPerListedGigabyte;
    if (services_.diskList->isInWhiteList(entry->name)) {
        mountGoesOn();
        return;
    }
    openEntryWindow(USBBlockerTexts::whiteListTip, [this, name = entry->name, size](int code) {
        if (code == USBPasswordWindow::codeDone) {
            services_.diskList->addWhiteList(name, size);
            notice(USBBlockerTexts::whiteListAdded);
        }
    });
}

void DMUSBBlockerControl::guardDrives(DMDriveActionManager& actions) {
    std::shared_ptr<DMDriveOperations> operations = actions.operations();
    actions.setMountGuard([this, operations](const auto& drive, std::function<void()> proceed) {
        if (!isOn() || !operations->isLocalDrive(drive)) {
            proceed();
            return;
        }
        checkWhiteListBeforeMounting(drive->identifier(), proceed);
    });
    actions.setLoadGuard([this](const auto& drive) { return driveMayLoad(drive->identifier()); });
}

bool DMUSBBlockerControl::driveMayLoad(const std::string& bsdName) {
    if (!isOn() || services_.diskList->isInWhiteListBSDName(bsdName) != false) {
        return true;
    }
    services_.presenter->present(USBNotices::notice(USBBlockerTexts::driveGuard), mainWindow_(), nullptr);
    return false;
}

void DMUSBBlockerControl::notice(const std::string& message) {
    services_.presenter->present(USBNotices::notice(message), nullptr, nullptr);
}

void DMUSBBlockerControl::alert(const std::string& text) {
    services_.presenter->present(USBNotices::alert(text), mainWindow_(), nullptr);
}

}  // namespace harbormind
