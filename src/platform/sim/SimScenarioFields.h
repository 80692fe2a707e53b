#pragma once

#include <cstdint>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "platform/PlatformValue.h"

namespace harbormind {

// Reads the fields of a scenario's JSON objects. A field of the wrong kind throws
// SimScenarioError naming its place; an absent or null optional field is none.
class SimScenarioFields {
public:
    using Json = nlohmann::json;
    using Read = std::function<void(const Json& element, const std::string& where)>;

    static const Json& requireObject(const Json& json, const std::string& where);
    static const Json* member(const Json& object, const char* key);
    static std::optional<std::string> optionalText(const Json& object, const char* key, const std::string& where);
    static std::string requiredText(const Json& object, const char* key, const std::string& where);
    static std::optional<bool> optionalBool(const Json& object, const char* key, const std::string& where);
    static std::optional<std::int64_t> optionalInteger(const Json& object, const char* key, const std::string& where);
    // "parent": one key, or a list of keys for an entry with several parents (a RAID set on
    // two members, a logical volume group on two disks). The first is the parent that paths
    // and parent walks follow; every one lists the entry among its children.
    static std::vector<std::string> parentKeys(const Json& object, const std::string& where);
    static PlatformValue value(const Json& json, const std::string& where);
    static PlatformValue::Dictionary dictionary(const Json& object, const char* key, const std::string& where);
    // Reads each element of the list under `key`; `where` is the place of the object and a dot,
    // or empty at the top.
    static void forEach(const Json& object, const char* key, const std::string& where, const Read& read);
};

}  // namespace harbormind
