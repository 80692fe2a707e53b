#include "platform/sim/SimJson.h"

#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>

namespace harbormind {
namespace {

std::optional<PlatformValue::Data> hexBytes(const std::string& text) {
    if (text.size() % 2 != 0) {
        return std::nullopt;
    }
    PlatformValue::Data bytes;
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    for (std::size_t i = 0; i < text.size(); i += 2) {
        int high = digit(text[i]);
        int low = digit(text[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

}  // namespace

std::optional<PlatformValue> SimJson::toValue(const nlohmann::json& json, std::string& error, int depth) {
    if (depth > maximumDepth) {
        error = "values are nested too deeply";
        return std::nullopt;
    }
    switch (json.type()) {
    case nlohmann::json::value_t::null:
    case nlohmann::json::value_t::discarded:
        return PlatformValue{};
    case nlohmann::json::value_t::boolean:
        return PlatformValue(json.get<bool>());
    case nlohmann::json::value_t::number_integer:
        return PlatformValue(json.get<std::int64_t>());
    case nlohmann::json::value_t::number_unsigned: {
        auto value = json.get<std::uint64_t>();
        if (value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            error = "number too large: " + std::to_string(value);
            return std::nullopt;
        }
        return PlatformValue(static_cast<std::int64_t>(value));
    }
    case nlohmann::json::value_t::number_float:
        return PlatformValue(json.get<double>());
    case nlohmann::json::value_t::string:
        return PlatformValue(json.get<std::string>());
    case nlohmann::json::value_t::binary:
        return PlatformValue(PlatformValue::Data(json.get_binary().begin(), json.get_binary().end()));
    case nlohmann::json::value_t::array: {
        PlatformValue::Array array;
        for (const auto& element : json) {
            auto value = toValue(element, error, depth + 1);
            if (!value) {
                return std::nullopt;
            }
            array.push_back(std::move(*value));
        }
        return PlatformValue(std::move(array));
    }
    case nlohmann::json::value_t::object: {
        if (json.size() == 1 && json.contains("$data")) {
            const auto& hex = json["$data"];
            std::optional<PlatformValue::Data> bytes;
            if (hex.is_string()) {
                bytes = hexBytes(hex.get<std::string>());
            }
            if (!bytes) {
                error = "\"$data\" must be a text of hexadecimal digit pairs";
                return std::nullopt;
            }
            return PlatformValue(std::move(*bytes));
        }
        PlatformValue::Dictionary dictionary;
        for (const auto& [key, element] : json.items()) {
            auto value = toValue(element, error, depth + 1);
            if (!value) {
                return std::nullopt;
            }
            dictionary.emplace(key, std::move(*value));
        }
        return PlatformValue(std::move(dictionary));
    }
    }
    return PlatformValue{};
}

nlohmann::json SimJson::fromValue(const PlatformValue& value) {
    if (auto b = value.asBool()) return *b;
    if (auto i = value.asInteger()) return *i;
    if (auto r = value.asReal()) return *r;
    if (auto t = value.asText()) return *t;
    if (auto d = value.asData()) {
        static const char* digits = "0123456789abcdef";
        std::string hex;
        for (auto byte : *d) {
            hex += digits[byte >> 4];
            hex += digits[byte & 0xF];
        }
        return nlohmann::json{{"$data", hex}};
    }
    if (const auto* array = value.asArray()) {
        nlohmann::json out = nlohmann::json::array();
        for (const auto& element : *array) out.push_back(fromValue(element));
        return out;
    }
    if (const auto* dictionary = value.asDictionary()) {
        nlohmann::json out = nlohmann::json::object();
        for (const auto& [key, element] : *dictionary) out[key] = fromValue(element);
        return out;
    }
    return nullptr;
}

}  // namespace harbormind
