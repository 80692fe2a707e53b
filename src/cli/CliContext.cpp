#include "cli/CliContext.h"

#include <istream>
#include <iterator>
#include <ostream>

#include "drivemodel/DMDiskAccess.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/DiskDescriptionKey.h"
#include "platform/Platform.h"
#include "platform/sim/InProcessXPCTransport.h"
#include "platform/sim/SimPlatform.h"
#include "support/PrintableText.h"
#include "usbblocker/InProcessListsChange.h"
#include "xpc/dbus/DBusXPCTransport.h"
#include "xpc/XPCTransport.h"

namespace harbormind {

CliContext::CliContext(std::ostream& output, std::ostream& errors, std::istream& input)
    : out(output), err(errors), in(input) {}

CliContext::~CliContext() {
    // Background classification must not outlive the verb: the platform and the command
    // runner it reads are torn down at exit (or replaced by the next run in one process).
    if (manager_) {
        manager_->stop();
    }
}

std::optional<std::string> CliContext::secret(const std::string& prompt) {
    if (readSecret) {
        return readSecret(prompt);
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.ends_with("\r\n")) {
        text.resize(text.size() - 2);
    } else if (text.ends_with("\n")) {
        text.pop_back();
    }
    return text;
}

int CliContext::fail(const std::string& message) {
    err << "harbormindctl: " << PrintableText::escaped(message) << "\n";
    return 1;
}

bool CliContext::preparePlatform() {
    if (prepared_) {
        return true;
    }
    if (givenPlatform) {
        Platform::setCurrent(givenPlatform);
    } else if (platformName == "sim") {
        if (scenarioPath.empty()) {
            fail("--platform sim needs --scenario FILE");
            return false;
        }
        SimLoadResult loaded = SimPlatform::load(scenarioPath);
        if (!loaded) {
            fail("cannot read scenario " + scenarioPath + ": " + loaded.error);
            return false;
        }
        loaded.platform->start();
        Platform::setCurrent(loaded.platform);
        auto daemon = std::make_shared<InProcessDaemon>(loaded.platform->daemonAnswers());
        XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(daemon));
        InProcessListsChange::bind(daemon->usbWarden());
    } else if (platformName == "linux") {
        if (!scenarioPath.empty()) {
            fail("--scenario needs --platform sim");
            return false;
        }
        LinuxPaths paths;
        paths.diskWatch = discoverOnce ? DiskWatch::Once : DiskWatch::Follow;
        Platform::setCurrent(std::make_shared<LinuxPlatform>(paths));
        XPCTransport::setCurrent(std::make_shared<DBusXPCTransport>());
    } else {
        fail("unknown platform " + platformName + " (linux or sim)");
        return false;
    }
    prepared_ = true;
    return true;
}

std::shared_ptr<DMLocalDriveManager> CliContext::manager() {
    if (manager_ || !preparePlatform()) {
        return manager_;
    }
    manager_ = DMLocalDriveManager::create();
    // Every disk present is reported on the manager's queue as soon as discovery starts;
    // once that queue has drained, the tree is complete. Each drive is then classified here,
    // once, with its whole tree known (not in the background as it appears).
    manager_->setClassification(DMLocalDriveManager::Classification::ByCaller);
    manager_->start();
    manager_->callbackQueue()->sync([] {});
    for (const auto& [name, drive] : manager_->driveObjs()) {
        drive->update();
    }
    return manager_;
}

// Why a name is not among the drives: a disk the system has but the drive list leaves out
// for its size (an image just attached, say) is said to be one, not to be missing.
std::string CliContext::notShownReason(const std::string& identifier, const std::string& name) {
    std::optional<DiskDescription> description = DMDiskAccess::description(identifier);
    std::optional<std::int64_t> size =
        description ? description->integer(DiskDescriptionKey::mediaSize) : std::nullopt;
    if (size && *size <= DMLocalDriveManager::largestIgnoredSize) {
        return name + " is not among the drives: disks smaller than 100 MiB are left out";
    }
    return "no such drive: " + name;
}

std::shared_ptr<DMLocalDriveObject> CliContext::drive(const std::string& name) {
    std::string identifier = name.starts_with("/dev/") ? name.substr(5) : name;
    auto current = manager();
    if (!current) {
        return nullptr;
    }
    auto objects = current->driveObjs();
    auto it = objects.find(identifier);
    if (it == objects.end()) {
        fail(notShownReason(identifier, name));
        return nullptr;
    }
    return std::dynamic_pointer_cast<DMLocalDriveObject>(it->second);
}

}  // namespace harbormind
