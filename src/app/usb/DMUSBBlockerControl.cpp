#include "app/usb/DMUSBBlockerControl.h"

#include "app/common/DMAlertPresenter.h"
#include "app/drives/DMDriveActionManager.h"
#include "app/clone/DMDeviceCloneFlow.h"
#include "app/drives/DMDriveOperations.h"
#include "app/shell/DMSidebarViewController.h"
#include "app/common/DMTr.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "app/usb/USBBLockerWindowController.h"
#include "app/usb/USBBlockerSettingEntryWindowController.h"
#include "app/usb/USBBlockerStopWindowController.h"
#include "app/usb/USBNotices.h"
#include "app/usb/USBSetPasswordWindowController.h"
#include "drivemodel/DMDriveObjectProtocol.h"
#include "usbblocker/DriveTools.h"
#include "usbblocker/USBBlockerTexts.h"
#include "usbblocker/USBDiskList.h"
#include "xpc/DMUSBBlockerServerProtocol.h"

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
    services.blockerSwitch = std::make_shared<USBBlockerSwitch>(std::make_shared<DMUSBBlockerWrapper>());
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
        settingsWindow_ = new USBBLockerWindowController(mainWindow_(), *services_.diskList,
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
        enable(false, {});
        return;
    }
    closeSlot(setPasswordWindow_);
    setPasswordWindow_ = new USBSetPasswordWindowController(mainWindow_(), *services_.blockerSwitch->wrapper());
    presentSheet(setPasswordWindow_.data(), [this](int code) {
        std::string password = setPasswordWindow_ ? USBPasswordWindow::text(setPasswordWindow_->editPassword) : "";
        setPasswordWindow_.clear();
        if (code == USBPasswordWindow::codeDone) {
            enable(true, password);
        }
    });
}

void DMUSBBlockerControl::enable(bool thenOpenSettings, const std::string& password) {
    std::shared_ptr<DMAlertPresenter> presenter = services_.presenter;
    std::function<QWidget*()> mainWindow = mainWindow_;
    bool on = services_.blockerSwitch->enable([presenter, mainWindow](bool loaded) {
        // Said once, with what is true: on with the agent, or on without it.
        presenter->present(USBNotices::notice(loaded ? DMTr::text(USBBlockerTexts::enabled) : DMTr::text(USBBlockerTexts::agentNotStarted)),
                           mainWindow(), nullptr);
    });
    if (!on) {
        alert(DMTr::text(USBBlockerTexts::enableFailed));
        return;
    }
    if (thenOpenSettings) {
        showSettingsWindow(password);
    }
}

void DMUSBBlockerControl::stop() {
    closeSlot(stopWindow_);
    stopWindow_ = new USBBlockerStopWindowController(mainWindow_(), services_.blockerSwitch, services_.presenter);
    presentSheet(stopWindow_.data(), [this](int) { stopWindow_.clear(); });
}

void DMUSBBlockerControl::settingUSBBlokcerWithSender() {
    openEntryWindow(DMTr::text(USBBlockerTexts::settingsTip), [this](int code, const std::string& password) {
        if (code != USBPasswordWindow::codeCancelled) {
            showSettingsWindow(password);
        }
    });
}

void DMUSBBlockerControl::showSettingsWindow(const std::string& password) {
    USBBLockerWindowController* window = usbBLockerWindowController();
    window->setPassword(password);
    window->select(0);
    window->open();
}

USBBlockerSettingEntryWindowController* DMUSBBlockerControl::openEntryWindow(
    const std::string& tips, std::function<void(int code, const std::string& password)> ended) {
    closeSlot(entryWindow_);
    entryWindow_ = new USBBlockerSettingEntryWindowController(mainWindow_(), *services_.blockerSwitch->wrapper(), tips);
    QPointer<USBBlockerSettingEntryWindowController> window = entryWindow_;
    presentSheet(entryWindow_.data(), [this, window, ended = std::move(ended)](int code) {
        std::string password = window ? window->acceptedPassword() : std::string();
        entryWindow_.clear();
        ended(code, password);
    });
    return entryWindow_;
}

void DMUSBBlockerControl::checkWhiteListBeforeMounting(const std::string& bsdName,
                                                       const std::function<void()>& mountGoesOn) {
    std::optional<Drive> entry = services_.driveTools->drive(bsdName);
    if (!entry) {
        return;
    }
    services_.diskList->load();
    if (services_.diskList->isInWhiteList(entry->name)) {
        mountGoesOn();
        return;
    }
    addWhiteList(bsdName);
}

bool DMUSBBlockerControl::addWhiteList(const std::string& bsdName) {
    std::optional<Drive> entry = services_.driveTools->drive(bsdName);
    if (!entry) {
        return false;
    }
    std::int64_t size = entry->size / bytesPerListedGigabyte;
    openEntryWindow(DMTr::text(USBBlockerTexts::whiteListTip), [this, name = entry->name, size](int code, const std::string&) {
        if (code == USBPasswordWindow::codeDone) {
            addEntry(name, size);
        }
    });
    return true;
}

bool DMUSBBlockerControl::addEntry(const std::string& name, std::int64_t size) {
    XPCCodeAnswer answer = services_.blockerSwitch->wrapper()->addListEntry(name, size, true);
    services_.diskList->load();
    if (answer.code != DMUSBBlockerServerProtocol::done || !services_.diskList->isInWhiteList(name)) {
        alert(DMUSBBlockerWrapper::reason(answer));
        return false;
    }
    notice(DMTr::text(USBBlockerTexts::whiteListAdded));
    return true;
}

void DMUSBBlockerControl::whiteListBeforeCloning(const std::string& bsdName, std::function<void()> proceed) {
    std::optional<Drive> entry = isOn() ? services_.driveTools->drive(bsdName) : std::nullopt;
    if (!entry) {
        proceed();
        return;
    }
    services_.diskList->load();
    if (services_.diskList->isInWhiteList(entry->name)) {
        proceed();
        return;
    }
    std::int64_t size = entry->size / bytesPerListedGigabyte;
    openEntryWindow(DMTr::text(USBBlockerTexts::whiteListTip),
                    [this, name = entry->name, size, proceed = std::move(proceed)](int code, const std::string&) {
                        if (code == USBPasswordWindow::codeDone && addEntry(name, size)) {
                            proceed();
                        }
                    });
}

bool DMUSBBlockerControl::offersAddWhiteList(const std::string& bsdName) {
    if (!isOn()) {
        return false;
    }
    std::optional<Drive> entry = services_.driveTools->drive(bsdName);
    if (!entry) {
        return false;
    }
    services_.diskList->load();
    const std::int64_t gigabytes = entry->size / bytesPerListedGigabyte;
    for (const Drive& listed : services_.diskList->whiteList()) {
        if (listed.name == entry->name && listed.size == gigabytes) {
            return false;
        }
    }
    return true;
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
    actions.deviceCloneFlow()->setWhiteListGuard([this](const std::string& destination, std::function<void()> proceed) {
        whiteListBeforeCloning(destination, std::move(proceed));
    });
}

void DMUSBBlockerControl::offerWhiteList(DMSidebarViewController& sidebar) {
    sidebar.setWhiteListOffer(
        {[this](const auto& drive) {
             auto local = std::dynamic_pointer_cast<DMLocalDriveObject>(drive);
             return local && local->location() == DMDriveObjectLocation::external && offersAddWhiteList(local->identifier());
         },
         [this](const auto& drive) { addWhiteList(drive->identifier()); }});
}

bool DMUSBBlockerControl::driveMayLoad(const std::string& bsdName) {
    if (!isOn() || services_.diskList->isInWhiteListBSDName(bsdName) != false) {
        return true;
    }
    services_.presenter->present(USBNotices::notice(DMTr::text(USBBlockerTexts::driveGuard)), mainWindow_(), nullptr);
    return false;
}

void DMUSBBlockerControl::notice(const std::string& message) {
    services_.presenter->present(USBNotices::notice(message), mainWindow_(), nullptr);
}

void DMUSBBlockerControl::alert(const std::string& text) {
    services_.presenter->present(USBNotices::alert(text), mainWindow_(), nullptr);
}

}  // namespace harbormind
