#include "platform/sim/SimScenarioParser.h"

#include <cmath>
#include <functional>
#include <nlohmann/json.hpp>

#include "platform/DiskArbitrationSession.h"
#include "platform/sim/SimRegistryCheck.h"
#include "platform/sim/SimScenarioError.h"
#include "platform/sim/SimScenarioFields.h"

namespace harbormind {
namespace {

using Json = nlohmann::json;
using Fields = SimScenarioFields;

[[noreturn]] void fail(const std::string& where, const std::string& what) {
    SimScenarioError::fail(where, what);
}

SimDiskDefinition readDisk(const Json& json, const std::string& where) {
    Fields::requireObject(json, where);
    SimDiskDefinition disk;
    disk.bsdName = Fields::requiredText(json, "bsdName", where);
    disk.description = Fields::dictionary(json, "description", where);
    disk.registryKey = Fields::optionalText(json, "registryKey", where);
    std::vector<std::string> parents = Fields::parentKeys(json, where);
    if (!parents.empty()) {
        disk.registryParent = parents.front();
        disk.otherRegistryParents.assign(parents.begin() + 1, parents.end());
    }
    disk.registryName = Fields::optionalText(json, "registryName", where).value_or("");
    disk.mediaProperties = Fields::dictionary(json, "properties", where);
    disk.mountPath = Fields::optionalText(json, "mountPath", where);
    disk.mountable = Fields::optionalBool(json, "mountable", where);
    disk.busy = Fields::optionalBool(json, "busy", where).value_or(false);
    return disk;
}

std::uint32_t readOptions(const Json& object, const std::string& where) {
    const Json* json = Fields::member(object, "options");
    if (json == nullptr || json->is_null()) {
        return 0;
    }
    if (json->is_number_unsigned() && json->get<std::uint64_t>() <= UINT32_MAX) {
        return static_cast<std::uint32_t>(json->get<std::uint64_t>());
    }
    if (!json->is_array()) {
        fail(where + ".options", "must be a number or a list of \"force\" and \"whole\"");
    }
    std::uint32_t options = 0;
    for (const auto& name : *json) {
        if (name == "force") {
            options |= DiskArbitrationSession::unmountForce;
        } else if (name == "whole") {
            options |= DiskArbitrationSession::unmountWhole;
        } else {
            fail(where + ".options", "knows only \"force\" and \"whole\"");
        }
    }
    return options;
}

SimAction readAction(const Json& json, const std::string& where) {
    Fields::requireObject(json, where);
    SimAction action;
    std::string kind = Fields::requiredText(json, "action", where);
    if (kind == "addDisk") {
        action.kind = SimAction::Kind::AddDisk;
        const Json* disk = Fields::member(json, "disk");
        if (disk == nullptr) {
            fail(where + ".disk", "is required");
        }
        action.disk = readDisk(*disk, where + ".disk");
        action.bsdName = action.disk.bsdName;
        return action;
    }
    if (kind == "externalAdapter") {
        action.kind = SimAction::Kind::SetExternalAdapter;
        auto attached = Fields::optionalBool(json, "attached", where);
        if (!attached) {
            fail(where + ".attached", "is required");
        }
        action.flag = *attached;
        return action;
    }
    action.bsdName = Fields::requiredText(json, "bsdName", where);
    if (kind == "removeDisk") {
        action.kind = SimAction::Kind::RemoveDisk;
    } else if (kind == "mount") {
        action.kind = SimAction::Kind::Mount;
        action.path = Fields::optionalText(json, "path", where);
    } else if (kind == "unmount") {
        action.kind = SimAction::Kind::Unmount;
        action.options = readOptions(json, where);
    } else if (kind == "eject") {
        action.kind = SimAction::Kind::Eject;
    } else if (kind == "setKey") {
        action.kind = SimAction::Kind::SetKey;
        action.key = Fields::requiredText(json, "key", where);
        const Json* newValue = Fields::member(json, "value");
        if (newValue == nullptr) {
            fail(where + ".value", "is required");
        }
        action.value = Fields::value(*newValue, where + ".value");
    } else if (kind == "removeKey") {
        action.kind = SimAction::Kind::RemoveKey;
        action.key = Fields::requiredText(json, "key", where);
    } else {
        fail(where + ".action", "unknown action \"" + kind + "\"");
    }
    return action;
}

SimCommandRule::Output readOutput(const Json& json, const std::string& where) {
    SimCommandRule::Output output;
    output.standardOutput = Fields::optionalText(json, "stdout", where).value_or("");
    output.standardError = Fields::optionalText(json, "stderr", where).value_or("");
    output.exitStatus = static_cast<int>(Fields::optionalInteger(json, "exitStatus", where).value_or(0));
    output.succeeded = Fields::optionalBool(json, "succeeded", where).value_or(true);
    return output;
}

SimCommandRule readRule(const Json& json, const std::string& where) {
    Fields::requireObject(json, where);
    SimCommandRule rule;
    auto exact = Fields::optionalText(json, "match", where);
    auto expression = Fields::optionalText(json, "regex", where);
    if (exact.has_value() == expression.has_value()) {
        fail(where, "needs exactly one of \"match\" and \"regex\"");
    }
    if (expression) {
        rule.text = *expression;
        try {
            rule.pattern = std::make_shared<std::regex>(*expression, std::regex::ECMAScript);
        } catch (const std::regex_error& problem) {
            fail(where + ".regex", std::string("is not a valid regular expression: ") + problem.what());
        }
    } else {
        rule.text = *exact;
    }
    rule.output = readOutput(json, where);
    if (const Json* failure = Fields::member(json, "failure"); failure != nullptr && !failure->is_null()) {
        Fields::requireObject(*failure, where + ".failure");
        rule.failure = readOutput(*failure, where + ".failure");
    }
    if (auto privilege = Fields::optionalText(json, "privilege", where)) {
        if (*privilege == "user") {
            rule.privilege = ScriptPrivilege::User;
        } else if (*privilege == "administrator") {
            rule.privilege = ScriptPrivilege::Administrator;
        } else {
            fail(where + ".privilege", "must be \"user\" or \"administrator\"");
        }
    }
    Fields::forEach(json, "effects", where + ".", [&](const Json& element, const std::string& at) {
        rule.effects.push_back(readAction(element, at));
    });
    return rule;
}

SimPathInfo readPath(const Json& json, const std::string& where) {
    Fields::requireObject(json, where);
    SimPathInfo info;
    info.exists = Fields::optionalBool(json, "exists", where).value_or(true);
    info.readable = Fields::optionalBool(json, "readable", where).value_or(info.exists);
    info.writable = Fields::optionalBool(json, "writable", where).value_or(info.exists);
    info.listable = Fields::optionalBool(json, "listable", where).value_or(info.readable);
    info.totalBytes = Fields::optionalInteger(json, "totalBytes", where);
    info.freeBytes = Fields::optionalInteger(json, "freeBytes", where);
    return info;
}

void readSettings(const Json& json, SimScenario& scenario) {
    Fields::requireObject(json, "settings");
    scenario.standardSettings = Fields::dictionary(json, "standard", "settings");
    if (const Json* suites = Fields::member(json, "suites"); suites != nullptr && !suites->is_null()) {
        Fields::requireObject(*suites, "settings.suites");
        for (const auto& [name, suite] : suites->items()) {
            Fields::requireObject(suite, "settings.suites." + name);
            scenario.settingsSuites[name] = *Fields::value(suite, "settings.suites." + name).asDictionary();
        }
    }
}

void readUser(const Json& json, SimScenario& scenario) {
    Fields::requireObject(json, "user");
    if (Fields::member(json, "name") != nullptr) {
        scenario.userName = Fields::optionalText(json, "name", "user");
    }
    if (Fields::member(json, "home") != nullptr) {
        scenario.userHome = Fields::optionalText(json, "home", "user");
    }
    scenario.processHome = Fields::optionalText(json, "processHome", "user").value_or(scenario.userHome.value_or("/"));
    if (const Json* environment = Fields::member(json, "environment"); environment != nullptr && !environment->is_null()) {
        Fields::requireObject(*environment, "user.environment");
        for (const auto& [name, text] : environment->items()) {
            if (!text.is_string()) {
                fail("user.environment." + name, "must be a text");
            }
            scenario.environment[name] = text.get<std::string>();
        }
    }
}

void readWorkspace(const Json& json, SimScenario& scenario) {
    Fields::requireObject(json, "workspace");
    scenario.workspaceOpens = Fields::optionalBool(json, "opens", "workspace").value_or(true);
    Fields::forEach(json, "refuses", "workspace.", [&](const Json& element, const std::string& at) {
        if (!element.is_string()) {
            fail(at, "must be a text");
        }
        scenario.workspaceRefuses.push_back(element.get<std::string>());
    });
    scenario.fullDiskAccessSettingsURL = Fields::optionalText(json, "fullDiskAccessSettingsURL", "workspace").value_or("");
    scenario.securitySettingsURL = Fields::optionalText(json, "securitySettingsURL", "workspace").value_or("");
}

void readScripts(const Json& json, SimScenario& scenario) {
    Fields::requireObject(json, "scripts");
    if (auto prompt = Fields::optionalText(json, "administratorPrompt", "scripts")) {
        if (*prompt != "accept" && *prompt != "cancel") {
            fail("scripts.administratorPrompt", "must be \"accept\" or \"cancel\"");
        }
        scenario.administratorGranted = *prompt == "accept";
    }
    Fields::forEach(json, "rules", "scripts.", [&](const Json& element, const std::string& at) {
        scenario.scripts.push_back(readRule(element, at));
    });
}

void readEvent(const Json& json, const std::string& where, SimScenario& scenario) {
    Fields::requireObject(json, where);
    const Json* at = Fields::member(json, "at");
    if (at == nullptr || !at->is_number() || !std::isfinite(at->get<double>()) || at->get<double>() < 0 ||
        at->get<double>() > 1e9) {
        fail(where + ".at", "must be a number of seconds from 0 to 1e9");
    }
    scenario.events.push_back(SimEvent{at->get<double>(), readAction(json, where)});
}

SimScenario readScenario(const Json& json) {
    Fields::requireObject(json, "scenario");
    SimScenario scenario;
    for (const auto& [key, section] : json.items()) {
        if (key == "name") {
            scenario.name = Fields::optionalText(json, "name", "scenario").value_or("");
        } else if (key == "registry") {
            Fields::forEach(json, "registry", "", [&](const Json& element, const std::string& at) {
                Fields::requireObject(element, at);
                SimRegistryEntryDefinition entry;
                entry.key = Fields::requiredText(element, "key", at);
                std::vector<std::string> parents = Fields::parentKeys(element, at);
                if (!parents.empty()) {
                    entry.parent = parents.front();
                    entry.otherParents.assign(parents.begin() + 1, parents.end());
                }
                entry.name = Fields::optionalText(element, "name", at).value_or("");
                entry.properties = Fields::dictionary(element, "properties", at);
                scenario.registry.push_back(std::move(entry));
            });
        } else if (key == "disks") {
            Fields::forEach(json, "disks", "", [&](const Json& element, const std::string& at) {
                scenario.disks.push_back(readDisk(element, at));
            });
        } else if (key == "commands") {
            Fields::forEach(json, "commands", "", [&](const Json& element, const std::string& at) {
                scenario.commands.push_back(readRule(element, at));
            });
        } else if (key == "scripts") {
            readScripts(section, scenario);
        } else if (key == "events") {
            Fields::forEach(json, "events", "", [&](const Json& element, const std::string& at) {
                readEvent(element, at, scenario);
            });
        } else if (key == "settings") {
            readSettings(section, scenario);
        } else if (key == "user") {
            readUser(section, scenario);
        } else if (key == "power") {
            Fields::requireObject(section, "power");
            scenario.externalAdapter = Fields::optionalBool(section, "externalAdapter", "power").value_or(true);
        } else if (key == "workspace") {
            readWorkspace(section, scenario);
        } else if (key == "paths") {
            Fields::requireObject(section, "paths");
            for (const auto& [path, info] : section.items()) {
                scenario.paths[path] = readPath(info, "paths." + path);
            }
        } else if (key == "daemon") {
            Fields::requireObject(section, "daemon");
            scenario.daemon = *Fields::value(section, "daemon").asDictionary();
        } else {
            scenario.otherSections[key] = Fields::value(section, key);
        }
    }
    SimRegistryCheck::check(scenario);
    return scenario;
}

template <typename Result>
std::optional<Result> guarded(const std::string& text, std::string& error,
                              const std::function<Result(const Json&)>& read) {
    try {
        return read(Json::parse(text));
    } catch (const Json::exception& problem) {
        error = std::string("not valid JSON: ") + problem.what();
    } catch (const SimScenarioError& problem) {
        error = problem.what();
    }
    return std::nullopt;
}

}  // namespace

std::optional<SimCommandRule> SimScenarioParser::parseRule(const std::string& text, std::string& error) {
    return guarded<SimCommandRule>(text, error, [](const Json& json) { return readRule(json, "rule"); });
}

std::optional<SimScenario> SimScenarioParser::parse(const std::string& text, std::string& error) {
    return guarded<SimScenario>(text, error, readScenario);
}

std::optional<SimDiskDefinition> SimScenarioParser::parseDisk(const std::string& text, std::string& error) {
    return guarded<SimDiskDefinition>(text, error, [](const Json& json) { return readDisk(json, "disk"); });
}

std::optional<SimAction> SimScenarioParser::parseAction(const std::string& text, std::string& error) {
    return guarded<SimAction>(text, error, [](const Json& json) { return readAction(json, "action"); });
}

}  // namespace harbormind
