#include "platform/sim/InProcessDiskToolsService.h"

#include <nlohmann/json.hpp>

#include "platform/sim/InProcessMachine.h"
#include "xpc/DMDiskToolsArguments.h"

namespace harbormind {
namespace {

// The daemon refuses a call without an open file before anything else, as its guard answers.
bool refusedWithoutFile(int imageFd, const XPCCodeReply& reply) {
    if (imageFd >= 0) {
        return false;
    }
    reply({DMDiskToolsServerProtocol::notPermitted, "refused: no open file"});
    return true;
}

nlohmann::json toJson(const PlatformValue& value) {
    if (auto flag = value.asBool()) {
        return *flag;
    }
    if (auto number = value.asInteger()) {
        return *number;
    }
    if (auto real = value.asReal()) {
        return *real;
    }
    if (auto text = value.asText()) {
        return *text;
    }
    if (const auto* items = value.asArray()) {
        nlohmann::json list = nlohmann::json::array();
        for (const auto& item : *items) {
            list.push_back(toJson(item));
        }
        return list;
    }
    if (const auto* entries = value.asDictionary()) {
        nlohmann::json object = nlohmann::json::object();
        for (const auto& [name, item] : *entries) {
            object[name] = toJson(item);
        }
        return object;
    }
    return nullptr;
}

std::string flagText(bool flag) {
    return flag ? "true" : "false";
}

// The daemon reads or writes an image only of a device nothing has mounted: the reason it gives.
std::optional<XPCCodeAnswer> mounted(const std::string& bsdname) {
    if (!InProcessMachine::known()) {
        return std::nullopt;
    }
    auto points = InProcessMachine::mountPoints(bsdname);
    if (points.empty()) {
        return std::nullopt;
    }
    return XPCCodeAnswer{DMDiskToolsServerProtocol::busy,
                         InProcessMachine::nameOf(bsdname) + " is mounted at " + points.front() + "; unmount it first"};
}

}  // namespace

std::string InProcessDiskToolsService::jsonText(const PlatformValue& value) {
    return toJson(value).dump();
}

void InProcessDiskToolsService::answer(const std::string& method, std::vector<std::string> arguments,
                                       const std::string& bsdname, XPCCodeAnswer fallback,
                                       const XPCCodeReply& reply, std::optional<XPCCodeAnswer> inUse) {
    daemon_->record({key, method, std::move(arguments)});
    if (daemon_->behaviour(key) != InProcessDaemonBehaviour::answer) {
        return;
    }
    auto scripted = daemon_->answer(key, method, bsdname);
    const auto* fields = scripted ? scripted->asDictionary() : nullptr;
    if (!fields) {
        reply(inUse ? std::move(*inUse) : std::move(fallback));
        return;
    }
    XPCCodeAnswer result{0, {}};
    if (auto it = fields->find("json"); it != fields->end()) {
        result.message = jsonText(it->second);
    }
    if (auto it = fields->find("code"); it != fields->end()) {
        result.code = it->second.asInteger().value_or(-1);
    }
    if (auto it = fields->find("message"); it != fields->end()) {
        result.message = it->second.asText().value_or("");
    }
    // A scripted refusal stands for a reason the daemon finds before the device's use.
    reply(inUse && result.code == done ? std::move(*inUse) : std::move(result));
}

void InProcessDiskToolsService::driveHealthWithBsdname(const std::string& bsdname, XPCCodeReply reply) {
    answer("driveHealthWithBsdname", {bsdname}, bsdname,
           {notAvailable, "the simulated machine has no health report for " + bsdname}, reply);
}

void InProcessDiskToolsService::startSelfTestWithBsdname(const std::string& bsdname, bool extended,
                                                         XPCCodeReply reply) {
    answer("startSelfTestWithBsdname", {bsdname, flagText(extended)}, bsdname, {-1, "no answer"}, reply);
}

void InProcessDiskToolsService::partitionTableWithBsdname(const std::string& bsdname, XPCCodeReply reply) {
    answer("partitionTableWithBsdname", {bsdname}, bsdname, {-1, "no answer"}, reply);
}

void InProcessDiskToolsService::eraseWithBsdname(const std::string& bsdname, const std::string& fileSystem,
                                                 const std::string& label, const std::string& password,
                                                 XPCCodeReply reply) {
    XPCCodeAnswer refused;
    if (!DMDiskToolsArguments::newVolume(fileSystem, label, refused)) {
        reply(refused);
        return;
    }
    answer("eraseWithBsdname", {bsdname, fileSystem, label, password.empty() ? "" : "(password)"}, bsdname,
           {-1, "no answer"}, reply);
}

void InProcessDiskToolsService::createPartitionWithBsdname(const std::string& bsdname, std::int64_t startBytes,
                                                           std::int64_t sizeBytes, const std::string& fileSystem,
                                                           const std::string& label, const std::string& password,
                                                           XPCCodeReply reply) {
    XPCCodeAnswer refused;
    if (!DMDiskToolsArguments::newVolume(fileSystem, label, refused)) {
        reply(refused);
        return;
    }
    if (auto problem = DMDiskToolsArguments::spaceProblem(startBytes, sizeBytes)) {
        reply(*problem);
        return;
    }
    answer("createPartitionWithBsdname",
           {bsdname, std::to_string(startBytes), std::to_string(sizeBytes), fileSystem, label,
            password.empty() ? "" : "(password)"},
           bsdname, {-1, "no answer"}, reply);
}

void InProcessDiskToolsService::deletePartitionWithBsdname(const std::string& bsdname, XPCCodeReply reply) {
    answer("deletePartitionWithBsdname", {bsdname}, bsdname, {-1, "no answer"}, reply);
}

void InProcessDiskToolsService::checkImageRestoreWithBsdname(const std::string& bsdname, int imageFd,
                                                             XPCCodeReply reply) {
    if (refusedWithoutFile(imageFd, reply)) {
        return;
    }
    answer("checkImageRestoreWithBsdname", {bsdname}, bsdname, {-1, "no answer"}, reply, mounted(bsdname));
}

void InProcessDiskToolsService::createDiskImageWithBsdname(const std::string& bsdname, int imageFd, bool compress,
                                                           XPCCodeReply reply) {
    if (refusedWithoutFile(imageFd, reply)) {
        return;
    }
    auto inUse = mounted(bsdname);
    if (inUse) {
        inUse->message += imageInUseNote;
    }
    answer("createDiskImageWithBsdname", {bsdname, flagText(compress)}, bsdname, {-1, "no answer"}, reply, inUse);
}

void InProcessDiskToolsService::restoreDiskImageWithBsdname(const std::string& bsdname, int imageFd,
                                                            XPCCodeReply reply) {
    if (refusedWithoutFile(imageFd, reply)) {
        return;
    }
    answer("restoreDiskImageWithBsdname", {bsdname}, bsdname, {-1, "no answer"}, reply, mounted(bsdname));
}

void InProcessDiskToolsService::diskImageStatusWithReply(XPCCodeReply reply) {
    answer("diskImageStatusWithReply", {}, {}, {done, R"({"state":"none"})"}, reply);
}

void InProcessDiskToolsService::stopDiskImageWithReply(XPCCodeReply reply) {
    answer("stopDiskImageWithReply", {}, {}, {done, "stopping"}, reply);
}

}  // namespace harbormind
