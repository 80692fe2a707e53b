#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace harbormind {

// Runs a program as a child process, synchronously, and hands back what it printed. Callers
// judge success from the two texts; the exit status is not reported. Blocks the calling
// thread: never call it on the user-interface thread.
class TaskHandler {
public:
    // Given for both streams when either is not valid UTF-8.
    static constexpr const char* noOutput = "No output";
    // What the encryption status poll looks for in the output.
    static constexpr const char* encryptionMarker = "FileVault";
    static constexpr const char* encryptedAnswer = "Yes";
    static constexpr const char* pausedMarker = "Pause";

    // Reasons given by pollEncryptionStatus.
    static constexpr int reasonEncrypted = 0;
    static constexpr int reasonError = 1;
    static constexpr int reasonPausedOnBattery = 2;

    using Completion =
        std::function<void(const std::string& standardOutput, const std::optional<std::string>& standardError)>;
    using EncryptionCompletion = std::function<void(bool encrypted, int reason)>;

    // The completion gets the standard output and, when it is not empty, the standard error.
    static void run(const std::string& launchPath, const std::vector<std::string>& arguments,
                    const Completion& completion);

    // Runs the command once a second until its output gives a verdict: an error, encryption
    // finished, or encryption paused while no power adapter is attached. Waits one more
    // second, then calls the completion.
    // With `targetVolume` (disk3s1) only that volume's block of a container listing is
    // judged: another volume of the same container that is already encrypted says nothing
    // about the target.
    static void pollEncryptionStatus(const std::string& launchPath, const std::vector<std::string>& arguments,
                                     const EncryptionCompletion& completion,
                                     const std::optional<std::string>& targetVolume = std::nullopt);
    // The lines of a container listing that describe `volume`, from its "+-> Volume NAME"
    // line to the next "+->" or "+--" line; empty when the listing has no such volume.
    static std::string volumeBlock(const std::string& listing, const std::string& volume);

    // The program and arguments of the most recent launch, for diagnostics.
    static std::vector<std::string> lastLaunched();
};

}  // namespace harbormind
