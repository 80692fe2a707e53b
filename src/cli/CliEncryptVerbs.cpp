// `encrypt DEVICE [--resume] [--detached-header] [--save-header FILE]`: encrypts a volume in
// place with LUKS2 through the helper daemon, with a progress bar, and prints the recovery
// key once at the end.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>

#include "cli/CliContext.h"
#include "cli/CliStopSignal.h"
#include "cli/CliVerbGroups.h"
#include "drivemodel/DMLuksWrapper.h"
#include "drivemodel/DMProgressMessage.h"
#include "platform/FileStore.h"
#include "platform/Platform.h"
#include "support/DMByteCountFormatter.h"
#include "support/PrintableText.h"

namespace harbormind {
namespace {

struct EncryptOptions {
    std::string device;
    bool resume = false;
    bool detached = false;
    std::string saveHeader;
};

// Draws the daemon's reports as a bar on standard error and keeps the recovery key.
class EncryptProgress final : public DMBitLockerAppProtocol {
public:
    EncryptProgress(std::ostream& err, std::shared_ptr<DMLuksWrapper> wrapper, std::string name)
        : err_(err), wrapper_(std::move(wrapper)), name_(std::move(name)) {}

    void updateProgressWithStatus(std::int64_t status, std::int64_t total, std::int64_t current, std::int64_t error,
                                  XPCIntReply reply) override {
        DMProgressMessage message = DMProgressMessage::fromDaemon(status, total, current, error);
        if (message.status == DMProgressStatus::initialized || message.status == DMProgressStatus::running) {
            fetchKey();
        }
        if (message.status == DMProgressStatus::running) {
            draw(message);
        }
        // A stop answers the next report with 1: the daemon stops where the work resumes.
        if (reply) {
            reply(CliStopSignal::requested() ? 1 : 0);
        }
    }
    void continuedWithReply(XPCBoolReply reply) override {
        if (reply) {
            reply(true);
        }
    }

    std::string recoveryKey() {
        std::lock_guard lock(mutex_);
        return key_;
    }
    void endLine() {
        std::lock_guard lock(mutex_);
        if (drawn_) {
            err_ << "\n";
        }
    }

private:
    void fetchKey() {
        {
            std::lock_guard lock(mutex_);
            if (!key_.empty()) {
                return;
            }
        }
        std::string key = wrapper_->recoveryKey(name_);
        std::lock_guard lock(mutex_);
        key_ = key;
    }

    void draw(const DMProgressMessage& message) {
        const int width = 30;
        int filled = static_cast<int>(message.progress() * width);
        char percent[16];
        std::snprintf(percent, sizeof percent, "%5.1f%%", message.progress() * 100);
        std::lock_guard lock(mutex_);
        err_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
             << std::string(static_cast<std::size_t>(width - filled), '.') << "] " << percent << "  "
             << DMByteCountFormatter::string(static_cast<std::int64_t>(message.current)) << " / "
             << DMByteCountFormatter::string(static_cast<std::int64_t>(message.total))
             << "   " << std::flush;
        drawn_ = true;
    }

    std::ostream& err_;
    std::shared_ptr<DMLuksWrapper> wrapper_;
    std::string name_;
    std::mutex mutex_;
    std::string key_;
    bool drawn_ = false;
};

std::optional<std::string> newPassword(CliContext& context, const std::string& name, bool resume) {
    auto password = context.secret((resume ? "Password of " : "New password for ") + name + ": ");
    if (!password || password->empty()) {
        context.fail("encrypt " + name + ": no password was given");
        return std::nullopt;
    }
    if (context.secretTyped && !resume) {
        auto again = context.secret("Repeat the password: ");
        if (!again || *again != *password) {
            context.fail("encrypt " + name + ": the passwords you entered don't match");
            return std::nullopt;
        }
    }
    return password;
}

// Which layout: the header in front where the daemon can do it, unless asked otherwise.
std::optional<bool> chooseInFront(CliContext& context, DMLuksWrapper& wrapper, const EncryptOptions& options,
                                  const std::string& name) {
    XPCCodeAnswer layouts = wrapper.layouts(name);
    if (layouts.code <= 0) {
        context.fail("encrypt " + name + ": " + (layouts.message.empty() ? "cannot be encrypted" : layouts.message));
        return std::nullopt;
    }
    if (options.detached) {
        return false;
    }
    if ((layouts.code & DMLuksServerProtocol::headerInFront) == 0) {
        context.err << "harbormindctl: " << PrintableText::escaped(layouts.message) << "\n";
        return false;
    }
    return true;
}

bool saveHeader(CliContext& context, DMLuksWrapper& wrapper, const std::string& name, const std::string& path) {
    std::string header = wrapper.detachedHeader(name);
    FileStore* files = Platform::current().fileStore();
    if (header.empty() || !files ||
        !files->write(path, FileStore::Bytes(header.begin(), header.end()), FileStore::Privacy::OwnerOnly)) {
        context.fail("encrypt " + name + ": the header could not be saved to " + path);
        return false;
    }
    context.out << "Header saved to " << PrintableText::escaped(path) << "\n";
    return true;
}

int encrypt(CliContext& context, const EncryptOptions& options) {
    const std::string name = options.device.rfind("/dev/", 0) == 0 ? options.device.substr(5) : options.device;
    if (!context.preparePlatform()) {
        return 1;
    }
    auto wrapper = DMLuksWrapper::create();
    bool interrupted = wrapper->needResume(name);
    if (options.resume != interrupted) {
        return context.fail("encrypt " + name + (interrupted ? ": its encryption was interrupted; use --resume"
                                                             : ": has no interrupted encryption to resume"));
    }
    std::optional<bool> inFront = options.resume ? std::optional<bool>(false)
                                                 : chooseInFront(context, *wrapper, options, name);
    if (!inFront) {
        return 1;
    }
    auto password = newPassword(context, name, options.resume);
    if (!password) {
        return 1;
    }
    auto progress = std::make_shared<EncryptProgress>(context.err, wrapper, name);
    wrapper->setProgressReceiver(progress);
    CliStopSignal stop;
    XPCCodeAnswer answer = options.resume ? wrapper->resume(name, *password) : wrapper->encrypt(name, *password, *inFront);
    progress->endLine();
    if (answer.code != 0) {
        context.fail("encrypt " + name + ": " + answer.message);
        if (answer.code == 2 && wrapper->needResume(name)) {
            context.err << "harbormindctl: run `harbormindctl encrypt " << PrintableText::escaped(name)
                        << " --resume` to finish it\n";
        }
        return answer.code == 2 ? 2 : 1;
    }
    context.out << PrintableText::escaped(answer.message) << "\n";
    std::string key = progress->recoveryKey();
    if (!key.empty()) {
        context.out << "Recovery key (shown once; keep it safe): " << key << "\n";
    }
    if (!options.saveHeader.empty() && !saveHeader(context, *wrapper, name, options.saveHeader)) {
        return 1;
    }
    return 0;
}

}  // namespace

void registerEncryptVerbs(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<EncryptOptions>();
    auto* command = app.add_subcommand(
        "encrypt", "encrypt a volume in place with LUKS2 (password from standard input or a prompt)");
    command->add_option("DEVICE", options->device, "the device name, such as sdb1")->required();
    command->add_flag("--resume", options->resume, "finish an interrupted encryption");
    command->add_flag("--detached-header", options->detached,
                      "keep the header in a file of the daemon's instead of in front of the data");
    command->add_option("--save-header", options->saveHeader, "also save a copy of the detached header here");
    command->callback([&context, options] { context.exitStatus = encrypt(context, *options); });
}

}  // namespace harbormind
