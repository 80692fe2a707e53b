#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/sim/InProcessService.h"
#include "xpc/DMCheckDiskServerProtocol.h"

namespace harbormind {

// The simulated daemon's First Aid service: a check runs the scenario's output back to the
// caller's exported object, as the daemon's does.
class InProcessCheckDiskService final : public InProcessService, public DMCheckDiskServerProtocol {
public:
    InProcessCheckDiskService(std::shared_ptr<InProcessDaemon> daemon, std::string key,
                              std::weak_ptr<XPCInterface> exported);

    // Yes unless the scenario says otherwise: what an unmount cannot release is not simulated.
    void canRunFirstAidWithArguments(const std::vector<std::string>& arguments, XPCCodeReply reply) override;
    void firstAidWithArguments(const std::vector<std::string>& arguments, XPCBoolReply reply) override;

private:
    // The device a First Aid command line names: "/dev/NAME" in the NTFS checker's line, the
    // last word of "diskutil repairVolume NAME".
    static std::string deviceOf(const std::string& commandLine);

    std::weak_ptr<XPCInterface> exported_;
};

}  // namespace harbormind
