#include "daemon/linux/DriveHealthReader.h"

#include <nlohmann/json.hpp>

#include "xpc/DMDiskToolsServerProtocol.h"

namespace harbormind {
namespace {

using P = DMDiskToolsServerProtocol;

// The first message smartctl's JSON answer carries.
std::string smartctlMessage(const std::string& output) {
    auto json = nlohmann::json::parse(output, nullptr, false);
    if (!json.is_object()) {
        return {};
    }
    const auto smartctl = json.find("smartctl");
    if (smartctl == json.end() || !smartctl->is_object() || !smartctl->contains("messages") ||
        !(*smartctl)["messages"].is_array()) {
        return {};
    }
    for (const auto& message : (*smartctl)["messages"]) {
        if (message.is_object() && message.contains("string") && message["string"].is_string()) {
            return message["string"].get<std::string>();
        }
    }
    return {};
}

}  // namespace

std::string DriveHealthReader::whyNotAvailable(const std::string& disk) const {
    if (devices_.isLoop(disk)) {
        return disk + " is a disk image: only real drives report their health";
    }
    if (devices_.isVirtual(disk)) {
        return disk + " is a virtual device made by the system: only real drives report their health";
    }
    if (!runner_.installed("smartctl")) {
        return "reading drive health needs smartctl (the smartmontools package), which is not installed";
    }
    return {};
}

XPCCodeAnswer DriveHealthReader::health(const std::string& device) {
    const std::string disk = devices_.diskOf(device);
    if (std::string why = whyNotAvailable(disk); !why.empty()) {
        return {P::notAvailable, why};
    }
    ProcessResult report = runner_.run("smartctl", {"--json=c", "-a", "--", "/dev/" + disk});
    auto json = nlohmann::json::parse(report.standardOutput, nullptr, false);
    if (!json.is_object()) {
        return {P::notAvailable, "smartctl gave no report for " + disk};
    }
    // The report says itself why a drive cannot report (an unknown USB bridge, no SMART).
    return {P::done, report.standardOutput};
}

XPCCodeAnswer DriveHealthReader::startSelfTest(const std::string& device, bool extended) {
    const std::string disk = devices_.diskOf(device);
    if (std::string why = whyNotAvailable(disk); !why.empty()) {
        return {P::notAvailable, why};
    }
    ProcessResult started = runner_.run("smartctl", {"--json=c", "-t", extended ? "long" : "short", "--", "/dev/" + disk});
    // Bits 0 to 2 of the exit status: the command line, the device or the test was refused.
    if (!started.launched || (started.exitStatus & 0x7) != 0) {
        std::string message = smartctlMessage(started.standardOutput);
        return {P::failed, "the self-test of " + disk + " could not be started" +
                               (message.empty() ? std::string() : ": " + message)};
    }
    return {P::done, std::string(extended ? "An extended" : "A short") + " self-test of " + disk + " has started"};
}

}  // namespace harbormind
