#include "daemon/DaemonGuard.h"

#include "support/Utf8Text.h"

namespace harbormind {
namespace {

bool typeFits(ArgumentRole role, const DaemonValue& value) {
    switch (role) {
    case ArgumentRole::plain:
        return std::holds_alternative<bool>(value) || std::holds_alternative<std::int64_t>(value);
    case ArgumentRole::firstAidArguments:
    case ArgumentRole::firstAidToCome:
        return std::holds_alternative<std::vector<std::string>>(value);
    case ArgumentRole::openFile:
        return std::holds_alternative<DaemonFileDescriptor>(value);
    default:
        return std::holds_alternative<std::string>(value);
    }
}

}  // namespace

DaemonGuard::DaemonGuard(std::shared_ptr<DaemonAuthorizer> authorizer, std::shared_ptr<DeviceArgumentCheck> devices)
    : authorizer_(std::move(authorizer)), devices_(std::move(devices)) {}

DaemonGuardDecision DaemonGuard::check(const DaemonMethod& method, const CallerIdentity& caller,
                                       std::vector<DaemonValue> arguments) const {
    DaemonGuardDecision decision;
    decision.reason = formProblem(method, arguments);
    if (!decision.reason.empty()) {
        return decision;
    }
    DaemonAction action = method.action;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const bool firstAid =
            method.roles[i] == ArgumentRole::firstAidArguments || method.roles[i] == ArgumentRole::firstAidToCome;
        if (firstAid &&
            FirstAidCommand::parse(std::get<std::vector<std::string>>(arguments[i]))->repair) {
            action = DaemonAction::repair;
        }
    }
    if (action != DaemonAction::perDevice && !authorizer_->authorize(caller, action)) {
        decision.reason = "not authorized";
        return decision;
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        decision.reason = checkArgument(method.roles[i], arguments[i], decision);
        if (!decision.reason.empty()) {
            return decision;
        }
    }
    decision.allowed = true;
    decision.arguments = std::move(arguments);
    return decision;
}

std::string DaemonGuard::formProblem(const DaemonMethod& method, const std::vector<DaemonValue>& arguments) {
    if (arguments.size() != method.roles.size()) {
        return "wrong number of arguments";
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (!typeFits(method.roles[i], arguments[i])) {
            return "wrong argument type";
        }
        if (auto problem = argumentFormProblem(method.roles[i], arguments[i]); !problem.empty()) {
            return problem;
        }
    }
    return {};
}

std::string DaemonGuard::argumentFormProblem(ArgumentRole role, const DaemonValue& value) {
    switch (role) {
    case ArgumentRole::plain:
        return {};
    case ArgumentRole::openFile:
        return std::get<DaemonFileDescriptor>(value).isValid() ? std::string() : "no open file";
    case ArgumentRole::secret: {
        const auto& secret = std::get<std::string>(value);
        if (secret.size() > maxSecretLength || !Utf8Text::isValidWithoutNul(secret)) {
            return "unacceptable password";
        }
        return {};
    }
    case ArgumentRole::listedName: {
        const auto& name = std::get<std::string>(value);
        if (name.empty() || name.size() > maxListedNameLength || !Utf8Text::isValidWithoutNul(name) ||
            name.find_first_of("\n:") != std::string::npos) {
            return "not a disk name the lists can hold";
        }
        return {};
    }
    case ArgumentRole::shortText: {
        const auto& line = std::get<std::string>(value);
        if (line.size() > maxShortTextLength || !Utf8Text::isValidWithoutNul(line) ||
            line.find_first_of("\n\r") != std::string::npos) {
            return "not a name the disk tools take";
        }
        return {};
    }
    case ArgumentRole::deviceName:
    case ArgumentRole::overwrittenName:
    case ArgumentRole::devicePath:
    case ArgumentRole::overwrittenPath: {
        const auto& device = std::get<std::string>(value);
        const bool path = role == ArgumentRole::devicePath || role == ArgumentRole::overwrittenPath;
        if (device.size() > (path ? maxDevicePathLength : maxDeviceNameLength)) {
            return "device name too long";
        }
        return Utf8Text::isValidWithoutNul(device) ? std::string() : "device name is not text";
    }
    case ArgumentRole::firstAidArguments:
    case ArgumentRole::firstAidToCome: {
        const auto& words = std::get<std::vector<std::string>>(value);
        if (words.size() > maxFirstAidWords) {
            return "check-disk command too long";
        }
        for (const auto& word : words) {
            if (word.size() > maxFirstAidWordLength) {
                return "check-disk command too long";
            }
            if (!Utf8Text::isValidWithoutNul(word)) {
                return "check-disk command is not text";
            }
        }
        return FirstAidCommand::parse(words) ? std::string() : "not a check-disk command the daemon runs";
    }
    }
    return "unknown argument";
}

bool DaemonGuard::authorizes(const CallerIdentity& caller, DaemonAction action) const {
    return authorizer_->authorize(caller, action);
}

// The form of every argument has been checked already.
std::string DaemonGuard::checkArgument(ArgumentRole role, DaemonValue& value, DaemonGuardDecision& decision) const {
    switch (role) {
    case ArgumentRole::plain:
    case ArgumentRole::secret:
    case ArgumentRole::listedName:
    case ArgumentRole::shortText:
    case ArgumentRole::openFile:  // what the file may be is the backend's to judge
        return {};
    case ArgumentRole::deviceName:
        return checkDevice(std::get<std::string>(value), DeviceArgumentForm::name, DeviceUse::read);
    case ArgumentRole::devicePath:
        return checkDevice(std::get<std::string>(value), DeviceArgumentForm::path, DeviceUse::read);
    case ArgumentRole::overwrittenName:
        return checkDevice(std::get<std::string>(value), DeviceArgumentForm::name, DeviceUse::overwrite);
    case ArgumentRole::overwrittenPath:
        return checkDevice(std::get<std::string>(value), DeviceArgumentForm::path, DeviceUse::overwrite);
    case ArgumentRole::firstAidArguments:
    case ArgumentRole::firstAidToCome: {
        auto command = FirstAidCommand::parse(std::get<std::vector<std::string>>(value));
        // A check only reads the volume; a repair writes it, so only a repair needs it unused,
        // and only when it runs: a run to come is asked about before the volume is unmounted.
        const DeviceUse use =
            command->repair && role == ArgumentRole::firstAidArguments ? DeviceUse::overwrite : DeviceUse::read;
        if (auto problem = checkDevice(command->device, DeviceArgumentForm::name, use); !problem.empty()) {
            return problem;
        }
        decision.firstAid = std::move(command);
        return {};
    }
    }
    return "unknown argument";
}

std::string DaemonGuard::checkDevice(std::string& argument, DeviceArgumentForm form, DeviceUse use) const {
    auto checked = devices_->check(argument, form, use);
    if (!checked) {
        return "not a usable block device";
    }
    argument = *checked;
    return {};
}

}  // namespace harbormind
