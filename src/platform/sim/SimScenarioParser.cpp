#include "platform/sim/SimScenarioParser.h"

#include <cmath>
#include <functional>
#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>

#include "platform/DiskArbitrationSession.h"
#include "platform/sim/SimJson.h"

namespace harbormind {
namespace {

using Json = nlohmann::json;

// A problem in the scenario, with the place it was found ("disks[2].description").
class ScenarioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const std::string& where, const std::string& what) {
    throw ScenarioError(where + ": " + what);
}

const Json& requireObject(const Json& json, const std::string& where) {
    if (!json.is_object()) {
        fail(where, "must be an object");
    }
    return json;
}

const Json* member(const Json& object, const char* key) {
    auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

std::optional<std::string> optionalText(const Json& object, const char* key, const std::string& where) {
    const Json* value = member(object, key);
    if (value == nullptr || value->is_null()) {
        return std::nullopt;
    }
    if (!value->is_string()) {
        fail(where + "." + key, "must be a text");
    }
    return value->get<std::string>();
}

// "parent": one key, or a list of keys for an entry with several parents (a RAID set on two
// members, a logical volume group on two disks). The first is the parent that paths and
// parent walks follow; every one lists the entry among its children.
std::vector<std::string> parentKeys(const Json& object, const std::string& where) {
    const Json* value = member(object, "parent");
    if (value == nullptr || value->is_null()) {
        return {};
    }
    if (value->is_string()) {
        return {value->get<std::string>()};
    }
    if (!value->is_array() || value->empty()) {
        fail(where + ".parent", "must be a text or a non-empty list of texts");
    }
    std::vector<std::string> keys;
    for (const auto& element : *value) {
        if (!element.is_string() || element.get<std::string>().empty()) {
            fail(where + ".parent", "must list non-empty texts");
        }
        keys.push_back(element.get<std::string>());
    }
    return keys;
}

std::string requiredText(const Json& object, const char* key, const std::string& where) {
    auto text = optionalText(object, key, where);
    if (!text || text->empty()) {
        fail(where + "." + key, "is required and must be a non-empty text");
    }
    return *text;
}

std::optional<bool> optionalBool(const Json& object, const char* key, const std::string& where) {
    const Json* value = member(object, key);
    if (value == nullptr || value->is_null()) {
        return std::nullopt;
    }
    if (!value->is_boolean()) {
        fail(where + "." + key, "must be true or false");
    }
    return value->get<bool>();
}

std::optional<std::int64_t> optionalInteger(const Json& object, const char* key, const std::string& where) {
    const Json* value = member(object, key);
    if (value == nullptr || value->is_null()) {
        return std::nullopt;
    }
    if (value->is_number_integer() && !(value->is_number_unsigned() && value->get<std::uint64_t>() > INT64_MAX)) {
        return value->get<std::int64_t>();
    }
    fail(where + "." + key, "must be an integer");
}

PlatformValue value(const Json& json, const std::string& where) {
    std::string error;
    auto converted = SimJson::toValue(json, error);
    if (!converted) {
        fail(where, error);
    }
    return std::move(*converted);
}

PlatformValue::Dictionary dictionary(const Json& object, const char* key, const std::string& where) {
    const Json* json = member(object, key);
    if (json == nullptr || json->is_null()) {
        return {};
    }
    requireObject(*json, where + "." + key);
    auto converted = value(*json, where + "." + key);
    return *converted.asDictionary();
}

void forEach(const Json& object, const char* key, const std::string& where,
             const std::function<void(const Json&, const std::string&)>& read) {
    const Json* json = member(object, key);
    if (json == nullptr || json->is_null()) {
        return;
    }
    if (!json->is_array()) {
        fail(where + key, "must be a list");
    }
    for (std::size_t i = 0; i < json->size(); ++i) {
        read((*json)[i], where + key + "[" + std::to_string(i) + "]");
    }
}

SimDiskDefinition readDisk(const Json& json, const std::string& where) {
    requireObject(json, where);
    SimDiskDefinition disk;
    disk.bsdName = requiredText(json, "bsdName", where);
    disk.description = dictionary(json, "description", where);
    disk.registryKey = optionalText(json, "registryKey", where);
    std::vector<std::string> parents = parentKeys(json, where);
    if (!parents.empty()) {
        disk.registryParent = parents.front();
        disk.otherRegistryParents.assign(parents.begin() + 1, parents.end());
    }
    disk.registryName = optionalText(json, "registryName", where).value_or("");
    disk.mediaProperties = dictionary(json, "properties", where);
    disk.mountPath = optionalText(json, "mountPath", where);
    disk.mountable = optionalBool(json, "mountable", where);
    disk.busy = optionalBool(json, "busy", where).value_or(false);
    return disk;
}

std::uint32_t readOptions(const Json& object, const std::string& where) {
    const Json* json = member(object, "options");
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
    requireObject(json, where);
    SimAction action;
    std::string kind = requiredText(json, "action", where);
    if (kind == "addDisk") {
        action.kind = SimAction::Kind::AddDisk;
        const Json* disk = member(json, "disk");
        if (disk == nullptr) {
            fail(where + ".disk", "is required");
        }
        action.disk = readDisk(*disk, where + ".disk");
        action.bsdName = action.disk.bsdName;
        return action;
    }
    if (kind == "externalAdapter") {
        action.kind = SimAction::Kind::SetExternalAdapter;
        auto attached = optionalBool(json, "attached", where);
        if (!attached) {
            fail(where + ".attached", "is required");
        }
        action.flag = *attached;
        return action;
    }
    action.bsdName = requiredText(json, "bsdName", where);
    if (kind == "removeDisk") {
        action.kind = SimAction::Kind::RemoveDisk;
    } else if (kind == "mount") {
        action.kind = SimAction::Kind::Mount;
        action.path = optionalText(json, "path", where);
    } else if (kind == "unmount") {
        action.kind = SimAction::Kind::Unmount;
        action.options = readOptions(json, where);
    } else if (kind == "eject") {
        action.kind = SimAction::Kind::Eject;
    } else if (kind == "setKey") {
        action.kind = SimAction::Kind::SetKey;
        action.key = requiredText(json, "key", where);
        const Json* newValue = member(json, "value");
        if (newValue == nullptr) {
            fail(where + ".value", "is required");
        }
        action.value = value(*newValue, where + ".value");
    } else if (kind == "removeKey") {
        action.kind = SimAction::Kind::RemoveKey;
        action.key = requiredText(json, "key", where);
    } else {
        fail(where + ".action", "unknown action \"" + kind + "\"");
    }
    return action;
}

SimCommandRule::Output readOutput(const Json& json, const std::string& where) {
    SimCommandRule::Output output;
    output.standardOutput = optionalText(json, "stdout", where).value_or("");
    output.standardError = optionalText(json, "stderr", where).value_or("");
    output.exitStatus = static_cast<int>(optionalInteger(json, "exitStatus", where).value_or(0));
    output.succeeded = optionalBool(json, "succeeded", where).value_or(true);
    return output;
}

SimCommandRule readRule(const Json& json, const std::string& where) {
    requireObject(json, where);
    SimCommandRule rule;
    auto exact = optionalText(json, "match", where);
    auto expression = optionalText(json, "regex", where);
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
    if (const Json* failure = member(json, "failure"); failure != nullptr && !failure->is_null()) {
        requireObject(*failure, where + ".failure");
        rule.failure = readOutput(*failure, where + ".failure");
    }
    if (auto privilege = optionalText(json, "privilege", where)) {
        if (*privilege == "user") {
            rule.privilege = ScriptPrivilege::User;
        } else if (*privilege == "administrator") {
            rule.privilege = ScriptPrivilege::Administrator;
        } else {
            fail(where + ".privilege", "must be \"user\" or \"administrator\"");
        }
    }
    forEach(json, "effects", where + ".", [&](const Json& element, const std::string& at) {
        rule.effects.push_back(readAction(element, at));
    });
    return rule;
}

SimPathInfo readPath(const Json& json, const std::string& where) {
    requireObject(json, where);
    SimPathInfo info;
    info.exists = optionalBool(json, "exists", where).value_or(true);
    info.readable = optionalBool(json, "readable", where).value_or(info.exists);
    info.writable = optionalBool(json, "writable", where).value_or(info.exists);
    info.listable = optionalBool(json, "listable", where).value_or(info.readable);
    info.totalBytes = optionalInteger(json, "totalBytes", where);
    info.freeBytes = optionalInteger(json, "freeBytes", where);
    return info;
}

void readSettings(const Json& json, SimScenario& scenario) {
    requireObject(json, "settings");
    scenario.standardSettings = dictionary(json, "standard", "settings");
    if (const Json* suites = member(json, "suites"); suites != nullptr && !suites->is_null()) {
        requireObject(*suites, "settings.suites");
        for (const auto& [name, suite] : suites->items()) {
            requireObject(suite, "settings.suites." + name);
            scenario.settingsSuites[name] = *value(suite, "settings.suites." + name).asDictionary();
        }
    }
}

void readUser(const Json& json, SimScenario& scenario) {
    requireObject(json, "user");
    if (member(json, "name") != nullptr) {
        scenario.userName = optionalText(json, "name", "user");
    }
    if (member(json, "home") != nullptr) {
        scenario.userHome = optionalText(json, "home", "user");
    }
    scenario.processHome = optionalText(json, "processHome", "user").value_or(scenario.userHome.value_or("/"));
    if (const Json* environment = member(json, "environment"); environment != nullptr && !environment->is_null()) {
        requireObject(*environment, "user.environment");
        for (const auto& [name, text] : environment->items()) {
            if (!text.is_string()) {
                fail("user.environment." + name, "must be a text");
            }
            scenario.environment[name] = text.get<std::string>();
        }
    }
}

void readWorkspace(const Json& json, SimScenario& scenario) {
    requireObject(json, "workspace");
    scenario.workspaceOpens = optionalBool(json, "opens", "workspace").value_or(true);
    forEach(json, "refuses", "workspace.", [&](const Json& element, const std::string& at) {
        if (!element.is_string()) {
            fail(at, "must be a text");
        }
        scenario.workspaceRefuses.push_back(element.get<std::string>());
    });
    scenario.fullDiskAccessSettingsURL = optionalText(json, "fullDiskAccessSettingsURL", "workspace").value_or("");
    scenario.securitySettingsURL = optionalText(json, "securitySettingsURL", "workspace").value_or("");
}

void readScripts(const Json& json, SimScenario& scenario) {
    requireObject(json, "scripts");
    if (auto prompt = optionalText(json, "administratorPrompt", "scripts")) {
        if (*prompt != "accept" && *prompt != "cancel") {
            fail("scripts.administratorPrompt", "must be \"accept\" or \"cancel\"");
        }
        scenario.administratorGranted = *prompt == "accept";
    }
    forEach(json, "rules", "scripts.", [&](const Json& element, const std::string& at) {
        scenario.scripts.push_back(readRule(element, at));
    });
}

void readEvent(const Json& json, const std::string& where, SimScenario& scenario) {
    requireObject(json, where);
    const Json* at = member(json, "at");
    if (at == nullptr || !at->is_number() || !std::isfinite(at->get<double>()) || at->get<double>() < 0 ||
        at->get<double>() > 1e9) {
        fail(where + ".at", "must be a number of seconds from 0 to 1e9");
    }
    scenario.events.push_back(SimEvent{at->get<double>(), readAction(json, where)});
}

// Every registry parent must name a known entry, and walking up must end at a root.
void checkRegistry(const SimScenario& scenario) {
    std::map<std::string, std::optional<std::string>> parents;
    auto add = [&](const std::string& key, const std::optional<std::string>& parent, const std::string& where) {
        if (parents.count(key) != 0) {
            fail(where, "registry key \"" + key + "\" is used twice");
        }
        parents[key] = parent;
    };
    for (std::size_t i = 0; i < scenario.registry.size(); ++i) {
        add(scenario.registry[i].key, scenario.registry[i].parent, "registry[" + std::to_string(i) + "]");
    }
    std::set<std::string> names;
    for (std::size_t i = 0; i < scenario.disks.size(); ++i) {
        const auto& disk = scenario.disks[i];
        if (!names.insert(disk.bsdName).second) {
            fail("disks[" + std::to_string(i) + "]", "BSD name \"" + disk.bsdName + "\" is used twice");
        }
        add(disk.mediaKey(), disk.registryParent, "disks[" + std::to_string(i) + "]");
    }
    // Disks added by events may reuse the keys of disks removed earlier.
    for (const auto& event : scenario.events) {
        if (event.action.kind == SimAction::Kind::AddDisk && parents.count(event.action.disk.mediaKey()) == 0) {
            parents[event.action.disk.mediaKey()] = event.action.disk.registryParent;
        }
    }
    auto checkOthers = [&](const std::string& key, const std::vector<std::string>& others) {
        for (const auto& other : others) {
            if (parents.count(other) == 0) {
                fail("registry", "\"" + key + "\" has an unknown parent \"" + other + "\"");
            }
            if (other == key) {
                fail("registry", "\"" + key + "\" is its own ancestor");
            }
        }
    };
    for (const auto& entry : scenario.registry) {
        checkOthers(entry.key, entry.otherParents);
    }
    for (const auto& disk : scenario.disks) {
        checkOthers(disk.mediaKey(), disk.otherRegistryParents);
    }
    for (const auto& [key, parent] : parents) {
        std::set<std::string> seen{key};
        std::optional<std::string> next = parent;
        while (next) {
            auto found = parents.find(*next);
            if (found == parents.end()) {
                fail("registry", "\"" + key + "\" has an unknown parent \"" + *next + "\"");
            }
            if (!seen.insert(*next).second) {
                fail("registry", "\"" + key + "\" is its own ancestor");
            }
            next = found->second;
        }
    }
}

SimScenario readScenario(const Json& json) {
    requireObject(json, "scenario");
    SimScenario scenario;
    for (const auto& [key, section] : json.items()) {
        if (key == "name") {
            scenario.name = optionalText(json, "name", "scenario").value_or("");
        } else if (key == "registry") {
            forEach(json, "registry", "", [&](const Json& element, const std::string& at) {
                requireObject(element, at);
                SimRegistryEntryDefinition entry;
                entry.key = requiredText(element, "key", at);
                std::vector<std::string> parents = parentKeys(element, at);
                if (!parents.empty()) {
                    entry.parent = parents.front();
                    entry.otherParents.assign(parents.begin() + 1, parents.end());
                }
                entry.name = optionalText(element, "name", at).value_or("");
                entry.properties = dictionary(element, "properties", at);
                scenario.registry.push_back(std::move(entry));
            });
        } else if (key == "disks") {
            forEach(json, "disks", "", [&](const Json& element, const std::string& at) {
                scenario.disks.push_back(readDisk(element, at));
            });
        } else if (key == "commands") {
            forEach(json, "commands", "", [&](const Json& element, const std::string& at) {
                scenario.commands.push_back(readRule(element, at));
            });
        } else if (key == "scripts") {
            readScripts(section, scenario);
        } else if (key == "events") {
            forEach(json, "events", "", [&](const Json& element, const std::string& at) {
                readEvent(element, at, scenario);
            });
        } else if (key == "settings") {
            readSettings(section, scenario);
        } else if (key == "user") {
            readUser(section, scenario);
        } else if (key == "power") {
            requireObject(section, "power");
            scenario.externalAdapter = optionalBool(section, "externalAdapter", "power").value_or(true);
        } else if (key == "workspace") {
            readWorkspace(section, scenario);
        } else if (key == "paths") {
            requireObject(section, "paths");
            for (const auto& [path, info] : section.items()) {
                scenario.paths[path] = readPath(info, "paths." + path);
            }
        } else if (key == "daemon") {
            requireObject(section, "daemon");
            scenario.daemon = *value(section, "daemon").asDictionary();
        } else {
            scenario.otherSections[key] = value(section, key);
        }
    }
    checkRegistry(scenario);
    return scenario;
}

template <typename Result>
std::optional<Result> guarded(const std::string& text, std::string& error,
                              const std::function<Result(const Json&)>& read) {
    try {
        return read(Json::parse(text));
    } catch (const Json::exception& problem) {
        error = std::string("not valid JSON: ") + problem.what();
    } catch (const ScenarioError& problem) {
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
