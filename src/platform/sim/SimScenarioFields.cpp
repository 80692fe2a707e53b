#include "platform/sim/SimScenarioFields.h"

#include "platform/sim/SimJson.h"
#include "platform/sim/SimScenarioError.h"

namespace harbormind {

const SimScenarioFields::Json& SimScenarioFields::requireObject(const Json& json, const std::string& where) {
    if (!json.is_object()) {
        SimScenarioError::fail(where, "must be an object");
    }
    return json;
}

const SimScenarioFields::Json* SimScenarioFields::member(const Json& object, const char* key) {
    auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

std::optional<std::string> SimScenarioFields::optionalText(const Json& object, const char* key, const std::string& where) {
    const Json* value = member(object, key);
    if (value == nullptr || value->is_null()) {
        return std::nullopt;
    }
    if (!value->is_string()) {
        SimScenarioError::fail(where + "." + key, "must be a text");
    }
    return value->get<std::string>();
}

std::vector<std::string> SimScenarioFields::parentKeys(const Json& object, const std::string& where) {
    const Json* value = member(object, "parent");
    if (value == nullptr || value->is_null()) {
        return {};
    }
    if (value->is_string()) {
        return {value->get<std::string>()};
    }
    if (!value->is_array() || value->empty()) {
        SimScenarioError::fail(where + ".parent", "must be a text or a non-empty list of texts");
    }
    std::vector<std::string> keys;
    for (const auto& element : *value) {
        if (!element.is_string() || element.get<std::string>().empty()) {
            SimScenarioError::fail(where + ".parent", "must list non-empty texts");
        }
        keys.push_back(element.get<std::string>());
    }
    return keys;
}

std::string SimScenarioFields::requiredText(const Json& object, const char* key, const std::string& where) {
    auto text = optionalText(object, key, where);
    if (!text || text->empty()) {
        SimScenarioError::fail(where + "." + key, "is required and must be a non-empty text");
    }
    return *text;
}

std::optional<bool> SimScenarioFields::optionalBool(const Json& object, const char* key, const std::string& where) {
    const Json* value = member(object, key);
    if (value == nullptr || value->is_null()) {
        return std::nullopt;
    }
    if (!value->is_boolean()) {
        SimScenarioError::fail(where + "." + key, "must be true or false");
    }
    return value->get<bool>();
}

std::optional<std::int64_t> SimScenarioFields::optionalInteger(const Json& object, const char* key, const std::string& where) {
    const Json* value = member(object, key);
    if (value == nullptr || value->is_null()) {
        return std::nullopt;
    }
    if (value->is_number_integer() && !(value->is_number_unsigned() && value->get<std::uint64_t>() > INT64_MAX)) {
        return value->get<std::int64_t>();
    }
    SimScenarioError::fail(where + "." + key, "must be an integer");
}

PlatformValue SimScenarioFields::value(const Json& json, const std::string& where) {
    std::string error;
    auto converted = SimJson::toValue(json, error);
    if (!converted) {
        SimScenarioError::fail(where, error);
    }
    return std::move(*converted);
}

PlatformValue::Dictionary SimScenarioFields::dictionary(const Json& object, const char* key, const std::string& where) {
    const Json* json = member(object, key);
    if (json == nullptr || json->is_null()) {
        return {};
    }
    requireObject(*json, where + "." + key);
    auto converted = value(*json, where + "." + key);
    return *converted.asDictionary();
}

void SimScenarioFields::forEach(const Json& object, const char* key, const std::string& where, const Read& read) {
    const Json* json = member(object, key);
    if (json == nullptr || json->is_null()) {
        return;
    }
    if (!json->is_array()) {
        SimScenarioError::fail(where + key, "must be a list");
    }
    for (std::size_t i = 0; i < json->size(); ++i) {
        read((*json)[i], where + key + "[" + std::to_string(i) + "]");
    }
}

}  // namespace harbormind
