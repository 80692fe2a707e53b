#include "network/NetworkDriveCommands.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "network/DMNetworkDriveManager.h"
#include "network/NetworkDriveForm.h"
#include "platform/NetworkMountStatus.h"
#include "platform/NetworkMounter.h"
#include "platform/NetworkURL.h"
#include "platform/Platform.h"
#include "support/Dispatch.h"
#include "support/PrintableText.h"
#include "support/TextCase.h"

namespace harbormind {
namespace {

// A volume that appears is taken up after two seconds; listing waits a little longer.
constexpr double settleTime = 2.5;
constexpr double connectLimit = 120;
// How long a disconnect waits for written files to reach the server.
constexpr double writesLimit = 120;

// What failed, what the connecting program said, and what to check.
std::string connectFailure(int status, const std::string& reason) {
    std::string text = NetworkMountStatus::describe(status);
    if (!reason.empty() && reason != text) {
        text += " (" + reason + ")";
    }
    std::string advice = NetworkMountStatus::advice(status);
    return advice.empty() ? text : text + " " + advice;
}

std::string stateOf(const DMNetworkDriveObject& drive) {
    if (drive.isConnecting()) {
        return "connecting";
    }
    if (drive.isMounted()) {
        return "mounted";
    }
    return drive.saved() ? "offline" : "unmounted";
}

nlohmann::json describe(const DMNetworkDriveObject& drive) {
    nlohmann::json entry = {{"identifier", drive.identifier()}, {"name", drive.name()}, {"scheme", drive.scheme()},
                            {"host", drive.host()},             {"userName", drive.userName()},
                            {"dir", drive.dir()},               {"saved", drive.saved()},
                            {"state", stateOf(drive)}};
    if (auto mountPoint = drive.mountPoint()) {
        entry["mountPoint"] = *mountPoint;
        entry["capacity"] = drive.capacity();
        if (drive.free()) {
            entry["free"] = *drive.free();
        }
    }
    return entry;
}

}  // namespace

NetworkDriveCommands::NetworkDriveCommands(std::ostream& out, bool json) : out_(out), json_(json) {}

NetworkDriveCommands::~NetworkDriveCommands() = default;

std::optional<DMNetworkDriveType> NetworkDriveCommands::typeNamed(const std::string& name) {
    std::string lower = TextCase::lower(name);
    if (lower == "smb") {
        return DMNetworkDriveType::smb;
    }
    if (lower == "afp") {
        return DMNetworkDriveType::afp;
    }
    if (lower == "nfs") {
        return DMNetworkDriveType::nfs;
    }
    if (lower == "ftp") {
        return DMNetworkDriveType::ftp;
    }
    if (lower == "webdav") {
        return DMNetworkDriveType::webDAV;
    }
    return std::nullopt;
}

bool NetworkDriveCommands::waitFor(const std::function<bool()>& done, double limit) {
    // Small steps: some of what is waited for changes off the main queue.
    Clock& clock = Clock::current();
    auto deadline = clock.now() + seconds(limit);
    while (!done()) {
        if (clock.now() >= deadline) {
            return false;
        }
        Dispatch::main().runUntil(done, seconds(0.1));
    }
    return true;
}

std::shared_ptr<DMNetworkDriveManager> NetworkDriveCommands::manager(bool followVolumes) {
    if (!manager_) {
        manager_ = DMNetworkDriveManager::create({});
    }
    if (followVolumes && !manager_->isRunning()) {
        manager_->start();
        waitFor([] { return false; }, settleTime);
    }
    return manager_;
}

std::shared_ptr<DMNetworkDriveObject> NetworkDriveCommands::find(const std::string& drive) {
    for (const auto& root : manager(false)->rootObjs()) {
        auto network = std::dynamic_pointer_cast<DMNetworkDriveObject>(root);
        if (network && (network->identifier() == drive || network->name() == drive)) {
            return network;
        }
    }
    return nullptr;
}

int NetworkDriveCommands::fail(const std::string& message, int status) {
    if (json_) {
        out_ << nlohmann::json{{"error", message}}.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    } else {
        out_ << PrintableText::escaped(message) << "\n";
    }
    return status;
}

int NetworkDriveCommands::list() {
    auto drives = manager(true)->rootObjs();
    nlohmann::json array = nlohmann::json::array();
    for (const auto& root : drives) {
        auto drive = std::dynamic_pointer_cast<DMNetworkDriveObject>(root);
        if (!drive) {
            continue;
        }
        if (json_) {
            array.push_back(describe(*drive));
            continue;
        }
        out_ << PrintableText::escaped(drive->name()) << "  " << PrintableText::escaped(drive->identifier()) << "  "
             << stateOf(*drive);
        if (auto mountPoint = drive->mountPoint()) {
            out_ << "  " << PrintableText::escaped(*mountPoint);
        }
        out_ << "\n";
    }
    if (json_) {
        out_ << array.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    } else if (drives.empty()) {
        out_ << "No network drives.\n";
    }
    return 0;
}

int NetworkDriveCommands::add(const NewDrive& request) {
    auto drives = manager(false);
    auto drive = drives->makeDriveObject(request.type);
    drive->setName(request.name);
    drive->setHost(request.host);
    drive->setUserName(request.anonymous ? "" : request.userName);
    std::string dir = request.dir;
    if (!dir.empty() && !dir.starts_with("/")) {
        dir = "/" + dir;
    }
    drive->setDir(dir);
    drive->setPassword(request.anonymous ? std::nullopt : request.password);
    drive->setAnonymous(request.anonymous);
    drive->setSaved(true);
    drive->refreshIdentifier();
    if (!drive->isComplete()) {
        return fail("A network drive needs a name, a host and a user name (or --anonymous).");
    }
    if (auto reason = clash(*drive, nullptr)) {
        return fail(*reason);
    }
    drives->add(drive);
    // A drive saved without the password the user gave would fail at every connect.
    if (auto problem = drives->lastSaveProblem()) {
        drive->setPassword(std::nullopt);
        drives->remove(drive);
        return fail(*problem + "; the drive was not added.");
    }
    report("Added", *drive);
    return 0;
}

std::optional<std::string> NetworkDriveCommands::clash(const DMNetworkDriveObject& drive,
                                                       const DMNetworkDriveObject* replaced) {
    if (!NetworkURL::parse(drive.urlString())) {
        return "Not a usable address: " + drive.urlString();
    }
    for (const auto& root : manager(false)->rootObjs()) {
        auto other = std::dynamic_pointer_cast<DMNetworkDriveObject>(root);
        if (!other || other.get() == replaced) {
            continue;
        }
        if (*other == drive) {
            return "That network drive is already in the list: " + drive.identifier();
        }
        // Drives are named on the command line by their name too; two of one name could not be told apart.
        if (other->name() == drive.name()) {
            return "A network drive named " + drive.name() + " is already in the list.";
        }
    }
    return std::nullopt;
}

void NetworkDriveCommands::report(const std::string& verb, const DMNetworkDriveObject& drive) {
    if (json_) {
        out_ << describe(drive).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    } else {
        out_ << verb << " " << PrintableText::escaped(drive.identifier()) << "\n";
    }
}

int NetworkDriveCommands::edit(const std::string& name, const DriveEdit& changes) {
    auto drives = manager(true);
    auto old = find(name);
    if (!old) {
        return fail("No network drive named " + name, 2);
    }
    if (old->isMounted() || old->isConnecting()) {
        return fail("Disconnect the network drive before editing it.");
    }
    NetworkDriveForm form = NetworkDriveForm::from(*old);
    form.nickname = changes.name.value_or(form.nickname);
    form.folder = changes.folder.value_or(form.folder);
    form.userName = changes.userName.value_or(form.userName);
    form.password = changes.password.value_or(form.password);
    form.anonymous = changes.anonymous.value_or(form.anonymous);
    auto drive = drives->makeDriveObject(changes.type);
    if (!changes.type) {
        drive->setScheme(old->scheme());
    }
    form.applyTo(*drive);
    if (!drive->isComplete()) {
        return fail("A network drive needs a name, a folder with a server and a user name (or --anonymous); "
                    "the drive was not changed.");
    }
    if (auto reason = clash(*drive, old.get())) {
        return fail(*reason + "; the drive was not changed.");
    }
    drives->remove(old);
    drive->setSaved(true);
    drives->add(drive);
    if (auto problem = drives->lastSaveProblem()) {
        return fail(*problem + "; the drive was saved without its password.");
    }
    report("Saved", *drive);
    return 0;
}

int NetworkDriveCommands::connect(const std::string& name) {
    auto drives = manager(true);
    auto drive = find(name);
    if (!drive) {
        return fail("No network drive named " + name, 2);
    }
    if (drive->isMounted()) {
        return fail("Already connected at " + *drive->mountPoint(), 0);
    }
    auto status = std::make_shared<std::atomic<int>>(1);
    auto reason = std::make_shared<std::string>();
    auto finished = std::make_shared<std::atomic<bool>>(false);
    drives->mount(drive, [status, reason, finished](int code, std::optional<std::string> message) {
        *status = code;
        *reason = message.value_or("");
        *finished = true;
    });
    if (!waitFor([finished] { return finished->load(); }, connectLimit)) {
        drives->cancelMount(*drive);
        return fail("The connection did not finish in time. " +
                    NetworkMountStatus::advice(NetworkMountStatus::timedOut));
    }
    if (*status != NetworkMountStatus::success) {
        return fail(connectFailure(*status, *reason));
    }
    waitFor([drive] { return drive->isMounted(); }, settleTime + 3);
    if (json_) {
        out_ << describe(*drive).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    } else {
        out_ << "Connected " << PrintableText::escaped(drive->identifier());
        if (auto mountPoint = drive->mountPoint()) {
            out_ << " at " << PrintableText::escaped(*mountPoint);
        }
        out_ << "\n";
    }
    return 0;
}

int NetworkDriveCommands::disconnect(const std::string& name) {
    auto drives = manager(true);
    auto drive = find(name);
    if (!drive) {
        return fail("No network drive named " + name, 2);
    }
    if (!drive->mountPoint()) {
        return fail("That network drive is not connected.");
    }
    struct Outcome {
        std::mutex mutex;
        std::optional<int> status;
        std::vector<int> waiting;
    };
    auto outcome = std::make_shared<Outcome>();
    DMNetworkDriveManager::DisconnectOptions options;
    options.writesLimit = seconds(writesLimit);
    options.waiting = [outcome](int pending) {
        std::lock_guard lock(outcome->mutex);
        outcome->waiting.push_back(pending);
    };
    drives->disconnect(drive, options, [outcome](int code, std::optional<std::string>) {
        std::lock_guard lock(outcome->mutex);
        outcome->status = code;
    });
    // What the drive waits for is shown as it comes, from this thread.
    auto finished = [this, outcome] {
        std::lock_guard lock(outcome->mutex);
        for (int pending : outcome->waiting) {
            if (!json_) {
                out_ << "Waiting for " << pending << (pending == 1 ? " file" : " files")
                     << " to reach the server ...\n";
                out_.flush();
            }
        }
        outcome->waiting.clear();
        return outcome->status.has_value();
    };
    waitFor(finished, writesLimit + 60);
    std::optional<int> status;
    {
        std::lock_guard lock(outcome->mutex);
        status = outcome->status;
    }
    if (!status) {
        return fail("The network drive did not disconnect in time; it may still be connected.");
    }
    if (*status != 0) {
        return fail(*status == -1 ? "The network drive could not be disconnected." : NetworkMountStatus::describe(*status));
    }
    if (json_) {
        out_ << nlohmann::json{{"identifier", drive->identifier()}, {"disconnected", true}}.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    } else {
        out_ << "Disconnected " << PrintableText::escaped(drive->identifier()) << "\n";
    }
    return 0;
}

int NetworkDriveCommands::remove(const std::string& name) {
    auto drive = find(name);
    if (!drive) {
        return fail("No network drive named " + name, 2);
    }
    manager(false)->remove(drive);
    if (json_) {
        out_ << nlohmann::json{{"identifier", drive->identifier()}, {"removed", true}}.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    } else {
        out_ << "Removed " << PrintableText::escaped(drive->identifier()) << "\n";
    }
    return 0;
}

}  // namespace harbormind
