// check DEVICE [--repair]: First Aid from the command line, its output streamed as it comes.
#include <unistd.h>
#include <CLI/CLI.hpp>

#include <memory>
#include <mutex>
#include <ostream>
#include <string>

#include "cli/CliContext.h"
#include "cli/CliVerbGroups.h"
#include "drivemodel/DMCheckDiskShellCommand.h"
#include "drivemodel/DMCheckDiskWrapper.h"
#include "drivemodel/DMFirstAidUnmount.h"
#include "drivemodel/DMLocalDriveManager.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "engines/checkdisk/CheckDiskEngine.h"
#include "engines/checkdisk/CheckDiskTexts.h"
#include "support/Clock.h"
#include "xpc/DMCheckStatus.h"

namespace harbormind {
namespace {

constexpr int volumeNotClean = 1;

std::string deviceName(const std::string& device) {
    return device.rfind("/dev/", 0) == 0 ? device.substr(5) : device;
}

// Writes one stage of the stream to the terminal; a refused caller learns what to do.
void print(std::ostream& out, DMCheckStatus status, const std::string& line) {
    if (status == DMCheckStatus::checkRuning) {
        out << line << std::flush;
    } else if (status == DMCheckStatus::checkStart || status == DMCheckStatus::checkStop) {
        if (!line.empty()) {
            out << line << "\n";
        }
        if (status == DMCheckStatus::checkStop && line.find("not authorized") != std::string::npos) {
            out << "Your account is not allowed to check this drive. Ask an administrator, or see "
                   "\"man harbormindctl\" (ACCESS).\n";
        }
        out << std::flush;
    }
}

bool isCleanVerdict(const std::string& line) {
    return line == std::string(CheckDiskTexts::noErrorsFound) + "\n" ||
           line == std::string(CheckDiskTexts::errorsRepaired) + "\n";
}

bool isVerdict(const std::string& line) {
    for (const char* words : {CheckDiskTexts::noErrorsFound, CheckDiskTexts::errorsRepaired,
                              CheckDiskTexts::errorsRemain, CheckDiskTexts::notCompleted}) {
        if (line == std::string(words) + "\n") {
            return true;
        }
    }
    return false;
}

// As root on this machine: the engine itself checks the device, unmounted first when the
// drive model knows it mounted, and mounted again afterwards.
int checkHere(CliContext& context, const std::string& name, bool repair) {
    std::shared_ptr<DMLocalDriveObject> drive;
    if (auto manager = context.manager()) {
        auto objects = manager->driveObjs();
        if (auto found = objects.find(name); found != objects.end()) {
            drive = std::dynamic_pointer_cast<DMLocalDriveObject>(found->second);
        }
    }
    DMFirstAidUnmount unmount(drive);
    if (std::optional<std::string> reason = unmount.unmount()) {
        print(context.out, DMCheckStatus::checkStop, *reason);
        return volumeNotClean;
    }
    CheckDiskEngine engine;
    CheckDiskVerdict verdict = engine.run(
        {"/dev/" + name, repair ? CheckDiskMode::repair : CheckDiskMode::check},
        [&context, &unmount](DMCheckStatus status, const std::string& line) {
            print(context.out, status, line);
            if (status == DMCheckStatus::checkStart && unmount.unmounted()) {
                print(context.out, DMCheckStatus::checkRuning, unmount.unmountedNote() + "\n");
            }
        });
    if (std::optional<std::string> line = unmount.mountAgain()) {
        print(context.out, DMCheckStatus::checkRuning, *line + "\n");
    }
    return endsClean(verdict) ? 0 : volumeNotClean;
}

// Receives the daemon's stream and tells when it has ended, and how.
class TerminalReceiver final : public DMCheckDiskWrapperDelegate {
public:
    explicit TerminalReceiver(std::ostream& out) : out_(out) {}

    void updateUIWithChekcInfo(const std::string& info, std::int64_t checkStatus) override {
        auto status = static_cast<DMCheckStatus>(checkStatus);
        {
            std::lock_guard lock(mutex_);
            print(out_, status, info);
            // The verdict is the checker's last word; a line about mounting the volume again
            // may follow it.
            if (status == DMCheckStatus::checkRuning && isVerdict(info)) {
                verdict_ = info;
            }
            ended_ = ended_ || status == DMCheckStatus::checkEnd || status == DMCheckStatus::checkStop;
            clean_ = status == DMCheckStatus::checkEnd && isCleanVerdict(verdict_);
        }
        Clock::current().notifyAll();
    }
    bool ended() {
        std::lock_guard lock(mutex_);
        return ended_;
    }
    bool clean() {
        std::lock_guard lock(mutex_);
        return clean_;
    }

private:
    std::ostream& out_;
    std::mutex mutex_;
    std::string verdict_;
    bool ended_ = false;
    bool clean_ = false;
};

// Through the daemon's check-disk service. The NTFS checker's form says exactly "check" or
// "repair" (with -F); the daemon runs the checker of the volume's own file system either way.
int checkThroughDaemon(CliContext& context, const std::string& name, bool repair) {
    auto drive = context.drive(name);
    if (!drive) {
        return 1;
    }
    auto wrapper = DMCheckDiskWrapper::create();
    auto receiver = std::make_shared<TerminalReceiver>(context.out);
    wrapper->setDelegate(receiver);
    if (!DMCheckDiskShellCommand::isPlainDeviceName(drive->identifier())) {
        return context.fail("check " + name + ": not a device name");
    }
    // A mounted volume is unmounted for the check and mounted again when it ends.
    wrapper->check(drive, [wrapper, drive, repair] { return wrapper->shell().ntfsChecker(drive->identifier(), repair); });
    Clock::current().waitUntil([&receiver] { return receiver->ended(); }, std::nullopt);
    return receiver->clean() ? 0 : volumeNotClean;
}

}  // namespace

void registerCheckVerb(CLI::App& app, CliContext& context) {
    auto* check =
        app.add_subcommand("check", "check a volume's file system (First Aid); --repair also mends it");
    auto device = std::make_shared<std::string>();
    auto repair = std::make_shared<bool>(false);
    check->add_option("DEVICE", *device, "the device name, such as sdb1")->required();
    check->add_flag("--repair", *repair, "repair the errors found (never on a mounted volume)");
    check->callback([&context, device, repair] {
        std::string name = deviceName(*device);
        if (!DMCheckDiskShellCommand::isPlainDeviceName(name)) {
            context.exitStatus = context.fail("check " + *device + ": not a device name");
            return;
        }
        if (!context.preparePlatform()) {
            context.exitStatus = 1;
            return;
        }
        bool here = context.platformName == "linux" && ::geteuid() == 0;
        context.exitStatus =
            here ? checkHere(context, name, *repair) : checkThroughDaemon(context, name, *repair);
    });
}

}  // namespace harbormind
