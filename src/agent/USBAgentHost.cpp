#include "agent/USBAgentHost.h"

#include "support/Dispatch.h"
#include "support/Log.h"

namespace harbormind {

USBAgentHost::USBAgentHost(std::shared_ptr<USBAgentQuestion> question, const USBBlockerSettings& settings,
                           USBDiskList& lists, DriveTools& driveTools, std::shared_ptr<DiskArbitrationSession> session)
    : question_(std::move(question)), wrapper_(settings.wrapper()), modeStore_(settings), driveTools_(driveTools) {
    engine_ = std::make_unique<USBBlocker>(std::move(session), lists, driveTools, &modeStore_, Dispatch::global(),
                                           Dispatch::mainQueue());
    Log::info("USB Warden agent: mode " + std::to_string(static_cast<int>(engine_->model())));
}

void USBAgentHost::blockerNeedsApproval(const DADisk& disk) {
    std::optional<Drive> entry = driveTools_.drive(disk.bsdName());
    std::weak_ptr<USBAgentHost> weakSelf = weak_from_this();
    question_->ask(disk.bsdName(), entry ? entry->name : std::string(), [weakSelf, disk](bool allow) {
        auto self = weakSelf.lock();
        if (!self || !allow) {
            return;
        }
        XPCCodeAnswer allowed = self->wrapper_->allowOnce(disk.bsdName());
        if (allowed.code != 0) {
            Log::warning("USB Warden agent: the daemon did not allow " + disk.bsdName() + ": " + allowed.message);
            return;
        }
        self->engine_->allowMount(disk);
    });
}

}  // namespace harbormind
