#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "daemon/CallerIdentity.h"
#include "daemon/DaemonAuthorizer.h"
#include "daemon/DaemonMethod.h"
#include "daemon/DeviceArgumentCheck.h"
#include "daemon/FirstAidCommand.h"

namespace harbormind {

// The decision on one call, before anything reaches a backend.
struct DaemonGuardDecision {
    bool allowed = false;
    std::string reason;  // why refused, for the log (never holds a secret)
    std::vector<DaemonValue> arguments;  // devices as the backend is to use them
    std::optional<FirstAidCommand> firstAid;
};

// Every call passes here, in three steps: the arguments' number, types, sizes and form (which
// costs nothing and tells nothing about the machine, so it comes before a call may wait on
// anything); then the caller must be authorized for the method's kind (a First Aid run that
// repairs is `repair`); then each device argument must be one the daemon acts on. A refused
// caller learns nothing about the machine's devices.
class DaemonGuard {
public:
    static constexpr std::size_t maxSecretLength = 1024;
    static constexpr std::size_t maxListedNameLength = 255;
    static constexpr std::size_t maxShortTextLength = 255;
    static constexpr std::size_t maxDeviceNameLength = 255;
    static constexpr std::size_t maxDevicePathLength = 4095;
    static constexpr std::size_t maxFirstAidWords = 16;
    static constexpr std::size_t maxFirstAidWordLength = 4096;

    DaemonGuard(std::shared_ptr<DaemonAuthorizer> authorizer, std::shared_ptr<DeviceArgumentCheck> devices);

    DaemonGuardDecision check(const DaemonMethod& method, const CallerIdentity& caller,
                              std::vector<DaemonValue> arguments) const;
    // Why the arguments cannot be those of the method (empty when they can): their number,
    // types, sizes and form only.
    static std::string formProblem(const DaemonMethod& method, const std::vector<DaemonValue>& arguments);
    // Whether the caller may also make calls of another kind (asked by backends).
    bool authorizes(const CallerIdentity& caller, DaemonAction action) const;

private:
    static std::string argumentFormProblem(ArgumentRole role, const DaemonValue& value);
    std::string checkArgument(ArgumentRole role, DaemonValue& value, DaemonGuardDecision& decision) const;
    std::string checkDevice(std::string& argument, DeviceArgumentForm form, DeviceUse use) const;

    std::shared_ptr<DaemonAuthorizer> authorizer_;
    std::shared_ptr<DeviceArgumentCheck> devices_;
};

}  // namespace harbormind
