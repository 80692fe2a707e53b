// `encrypt DEVICE [--resume] [--detached-header] [--save-header FILE]`: encrypts a volume in
// place with LUKS2 through the helper daemon, with a progress bar. The recovery key is
// printed before the work starts (the daemon adds it only once this client has had it and
// said go on), and the detached header is saved once the job has finished.
// `encrypt --export-header DEVICE FILE`: saves the detached header the daemon keeps.
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
#include "drivemodel/DMLuksHeaderFacts.h"
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
    bool exportHeader = false;
    std::string exportPath;
};

// Draws the daemon's reports as a bar on standard error. The go-ahead is given once the
// recovery key has been printed: a key this client could not print is never added.
class EncryptProgress final : public DMBitLockerAppProtocol {
public:
    EncryptProgress(CliContext& context, std::shared_ptr<DMLuksWrapper> wrapper, std::string name, bool resume)
        : context_(context), wrapper_(std::move(wrapper)), name_(std::move(name)), resume_(resume) {}

    void updateProgressWithStatus(std::int64_t status, std::int64_t total, std::int64_t current, std::int64_t error,
                                  XPCIntReply reply) override {
        DMProgressMessage message = DMProgressMessage::fromDaemon(status, total, current, error);
        bool goOn = true;
        if (message.status == DMProgressStatus::initialized) {
            goOn = showKey();
        }
        if (message.status == DMProgressStatus::running) {
            draw(message);
        }
        // A stop answers the next report with 1: the daemon stops where the work resumes.
        if (reply) {
            reply(goOn && !CliStopSignal::requested() ? 0 : 1);
        }
    }
    void continuedWithReply(XPCBoolReply reply) override {
        if (reply) {
            reply(true);
        }
    }

    bool keyShown() {
        std::lock_guard lock(mutex_);
        return shown_;
    }
    void endLine() {
        std::lock_guard lock(mutex_);
        if (drawn_) {
            context_.err << "\n";
        }
    }

private:
    bool showKey() {
        std::string key = wrapper_->recoveryKey(name_);
        std::lock_guard lock(mutex_);
        if (key.empty()) {
            context_.err << "harbormindctl: the recovery key could not be read from the helper daemon\n";
            return false;
        }
        context_.out << "Recovery key (shown once; keep it safe): " << key << "\n";
        if (resume_) {
            context_.out << "This resume adds a new recovery key; keep it instead of any key shown before for "
                         << PrintableText::escaped(name_) << ".\n";
        }
        context_.out << std::flush;
        shown_ = true;
        return true;
    }

    void draw(const DMProgressMessage& message) {
        const int width = 30;
        int filled = static_cast<int>(message.progress() * width);
        char percent[16];
        std::snprintf(percent, sizeof percent, "%5.1f%%", message.progress() * 100);
        std::lock_guard lock(mutex_);
        context_.err << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
                     << std::string(static_cast<std::size_t>(width - filled), '.') << "] " << percent << "  "
                     << DMByteCountFormatter::string(static_cast<std::int64_t>(message.current)) << " / "
                     << DMByteCountFormatter::string(static_cast<std::int64_t>(message.total))
                     << "   " << std::flush;
        drawn_ = true;
    }

    CliContext& context_;
    std::shared_ptr<DMLuksWrapper> wrapper_;
    std::string name_;
    bool resume_;
    std::mutex mutex_;
    bool shown_ = false;
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

// Writes the header the daemon keeps for `name` to `path` (owner-only), reads it back and
// checks it: the same bytes, a LUKS2 header with its key slots and no unfinished work.
bool saveHeader(CliContext& context, DMLuksWrapper& wrapper, const std::string& name, const std::string& path,
                const std::string& verb) {
    std::string header = wrapper.detachedHeader(name);
    if (header.empty()) {
        context.fail(verb + " " + name + ": the helper daemon keeps no header for it");
        return false;
    }
    FileStore* files = Platform::current().fileStore();
    FileStore::Bytes bytes(header.begin(), header.end());
    if (!files || !files->write(path, bytes, FileStore::Privacy::OwnerOnly) || files->read(path) != bytes) {
        context.fail(verb + " " + name + ": the header could not be saved to " + path);
        return false;
    }
    DMLuksHeaderFacts facts = DMLuksHeaderFacts::of(header);
    if (!facts.isLuks2 || facts.keySlots == 0) {
        context.fail(verb + " " + name + ": the header saved to " + path + " is not a usable LUKS2 header");
        return false;
    }
    context.out << "Header saved to " << PrintableText::escaped(path) << " (" << facts.keySlots << " key slot"
                << (facts.keySlots == 1 ? "" : "s") << (facts.reencrypting ? "; its encryption is unfinished" : "")
                << ")\n";
    return true;
}

// The daemon is gone: it cannot say, but an encryption may have begun.
void resumeHint(CliContext& context, const std::string& name) {
    context.err << "harbormindctl: if the encryption of " << PrintableText::escaped(name)
                << " had begun, `harbormindctl encrypt " << PrintableText::escaped(name)
                << " --resume` finishes it once the helper daemon runs again\n";
}

int daemonGone(CliContext& context, const std::string& name) {
    int status = context.fail("encrypt " + name + ": the helper daemon gave no answer");
    resumeHint(context, name);
    return status;
}

int exportHeader(CliContext& context, const EncryptOptions& options) {
    const std::string name = options.device.rfind("/dev/", 0) == 0 ? options.device.substr(5) : options.device;
    if (options.exportPath.empty()) {
        return context.fail("encrypt --export-header " + name + ": name the file to save the header to");
    }
    if (!context.preparePlatform()) {
        return 1;
    }
    auto wrapper = DMLuksWrapper::create();
    return saveHeader(context, *wrapper, name, options.exportPath, "encrypt --export-header") ? 0 : 1;
}

int encrypt(CliContext& context, const EncryptOptions& options) {
    if (options.exportHeader) {
        return exportHeader(context, options);
    }
    if (!options.exportPath.empty()) {
        return context.fail("encrypt: a second operand is only taken with --export-header");
    }
    const std::string name = options.device.rfind("/dev/", 0) == 0 ? options.device.substr(5) : options.device;
    if (!context.preparePlatform()) {
        return 1;
    }
    auto wrapper = DMLuksWrapper::create();
    bool interrupted = wrapper->needResume(name);
    if (options.resume != interrupted) {
        // "No" may only mean no daemon: any answer to another question tells.
        if (!interrupted && wrapper->layouts(name).code == DMLuksWrapper::noAnswerCode) {
            return daemonGone(context, name);
        }
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
    auto progress = std::make_shared<EncryptProgress>(context, wrapper, name, options.resume);
    wrapper->setProgressReceiver(progress);
    CliStopSignal stop;
    XPCCodeAnswer answer = options.resume ? wrapper->resume(name, *password) : wrapper->encrypt(name, *password, *inFront);
    progress->endLine();
    if (answer.code != 0) {
        context.fail("encrypt " + name + ": " + answer.message);
        if (wrapper->needResume(name)) {
            context.err << "harbormindctl: run `harbormindctl encrypt " << PrintableText::escaped(name)
                        << " --resume` to finish it\n";
        } else if (answer.code == DMLuksWrapper::noAnswerCode) {
            resumeHint(context, name);
        }
        return answer.code == 2 ? 2 : 1;
    }
    context.out << PrintableText::escaped(answer.message) << "\n";
    if (!progress->keyShown()) {
        return context.fail("encrypt " + name + ": finished without a recovery key shown here");
    }
    if (!options.saveHeader.empty() && !saveHeader(context, *wrapper, name, options.saveHeader, "encrypt")) {
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
    command->add_option("FILE", options->exportPath, "with --export-header: where to save the header");
    command->add_flag("--resume", options->resume, "finish an interrupted encryption");
    command->add_flag("--detached-header", options->detached,
                      "keep the header in a file of the daemon's instead of in front of the data");
    command->add_option("--save-header", options->saveHeader, "also save a copy of the detached header here");
    command->add_flag("--export-header", options->exportHeader,
                      "save the detached header the daemon keeps for DEVICE to FILE, and nothing else");
    command->callback([&context, options] { context.exitStatus = encrypt(context, *options); });
}

}  // namespace harbormind
