#include "runner/TaskHandler.h"

#include <mutex>

#include "platform/Platform.h"
#include "platform/PowerSource.h"
#include "platform/ProcessLauncher.h"
#include "support/Clock.h"
#include "support/Utf8Text.h"

namespace harbormind {
namespace {

std::mutex& slotMutex() {
    static std::mutex mutex;
    return mutex;
}

std::vector<std::string>& lastLaunchSlot() {
    // Never destroyed: a background command may still be starting while the process exits.
    static auto* slot = new std::vector<std::string>;
    return *slot;
}

struct Output {
    std::string standardOutput;
    std::optional<std::string> standardError;
};

Output launch(const std::string& launchPath, const std::vector<std::string>& arguments) {
    {
        std::lock_guard lock(slotMutex());
        lastLaunchSlot() = {launchPath};
        lastLaunchSlot().insert(lastLaunchSlot().end(), arguments.begin(), arguments.end());
    }
    // A program that cannot be launched leaves both texts empty, which every caller reads
    // as a failure.
    ProcessResult result = Platform::current().processes().run(launchPath, arguments);
    if (!Utf8Text::isValid(result.standardOutput) || !Utf8Text::isValid(result.standardError)) {
        return {TaskHandler::noOutput, std::string(TaskHandler::noOutput)};
    }
    Output output{std::move(result.standardOutput), std::nullopt};
    if (!result.standardError.empty()) {
        output.standardError = std::move(result.standardError);
    }
    return output;
}

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

void TaskHandler::run(const std::string& launchPath, const std::vector<std::string>& arguments,
                      const Completion& completion) {
    Output output = launch(launchPath, arguments);
    if (completion) {
        completion(output.standardOutput, output.standardError);
    }
}

std::string TaskHandler::volumeBlock(const std::string& listing, const std::string& volume) {
    std::string block;
    bool inside = false;
    std::size_t start = 0;
    while (start < listing.size()) {
        std::size_t end = listing.find('\n', start);
        std::string line = listing.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? listing.size() : end + 1;
        if (line.find("+->") != std::string::npos || line.find("+--") != std::string::npos) {
            if (inside) {
                break;
            }
            const std::string header = "Volume " + volume;
            auto at = line.find(header);
            std::size_t after = at == std::string::npos ? 0 : at + header.size();
            inside = at != std::string::npos && (after == line.size() || line[after] == ' ');
        }
        if (inside) {
            block += line + "\n";
        }
    }
    return block;
}

void TaskHandler::pollEncryptionStatus(const std::string& launchPath, const std::vector<std::string>& arguments,
                                       const EncryptionCompletion& completion,
                                       const std::optional<std::string>& targetVolume) {
    bool encrypted = false;
    int reason = reasonError;
    for (;;) {
        Output output = launch(launchPath, arguments);
        if (output.standardError) {
            encrypted = false;
            reason = reasonError;
            break;
        }
        if (targetVolume) {
            output.standardOutput = volumeBlock(output.standardOutput, *targetVolume);
        }
        if (!output.standardOutput.empty()) {
            if (contains(output.standardOutput, encryptionMarker) && contains(output.standardOutput, encryptedAnswer)) {
                encrypted = true;
                reason = reasonEncrypted;
                break;
            }
            if (contains(output.standardOutput, pausedMarker) && !Platform::current().powerSource().hasExternalAdapter()) {
                encrypted = false;
                reason = reasonPausedOnBattery;
                break;
            }
        }
        Clock::current().sleepFor(seconds(1));
    }
    Clock::current().sleepFor(seconds(1));
    if (completion) {
        completion(encrypted, reason);
    }
}

std::vector<std::string> TaskHandler::lastLaunched() {
    std::lock_guard lock(slotMutex());
    return lastLaunchSlot();
}

}  // namespace harbormind
