#pragma once

#include <memory>

#include "agent/USBAgentModeStore.h"
#include "agent/USBAgentQuestion.h"
#include "usbblocker/USBBlocker.h"
#include "usbblocker/USBlockerDelegate.h"

namespace harbormind {

// What the blocker agent runs for the user's session: the engine, with the Warden's mode as
// the daemon keeps it, and the question to the user as the engine's delegate. The daemon
// refuses to mount a disk the user has not allowed, so "Allow" first tells the daemon.
class USBAgentHost final : public USBlockerDelegate, public std::enable_shared_from_this<USBAgentHost> {
public:
    // Make it with std::make_shared and hand it to engine().setDelegate().
    USBAgentHost(std::shared_ptr<USBAgentQuestion> question, const USBBlockerSettings& settings, USBDiskList& lists,
                 DriveTools& driveTools, std::shared_ptr<DiskArbitrationSession> session);

    void blockerNeedsApproval(const DADisk& disk) override;
    USBBlocker& engine() { return *engine_; }

private:
    std::shared_ptr<USBAgentQuestion> question_;
    std::shared_ptr<DMUSBBlockerWrapper> wrapper_;
    USBAgentModeStore modeStore_;
    DriveTools& driveTools_;
    std::unique_ptr<USBBlocker> engine_;
};

}  // namespace harbormind
