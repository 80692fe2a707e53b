#pragma once

#include <functional>
#include <memory>

namespace harbormind {

class DMConfigurationManager;
class DMDriveOperations;

// The automatic actions on sleep and wake, each under its own setting:
//   sleep: unmount external drives, disconnect network drives, lock encrypted drives;
//   wake:  the same three under the same settings, then connect network drives.
// Failures are silent. `done` runs on the main queue once every action started has answered,
// or after `timeLimit` seconds, whichever comes first, and only once.
class DMPowerStateActions : public std::enable_shared_from_this<DMPowerStateActions> {
public:
    DMPowerStateActions(std::shared_ptr<DMDriveOperations> operations, DMConfigurationManager& configuration);

    void run(bool isSleep, std::function<void()> done);

    // The machine's own wait for sleep work is short (logind's default is five seconds).
    static constexpr double timeLimit = 4.5;

private:
    class Batch;
    void startSleepSteps(const std::shared_ptr<Batch>& batch);
    void connectNetworkDrives(const std::shared_ptr<Batch>& batch);

    std::shared_ptr<DMDriveOperations> operations_;
    DMConfigurationManager& configuration_;
};

}  // namespace harbormind
