#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace harbormind {

// A typed value as platform services hand them out: description dictionaries, registry
// properties and settings. Reading it as another type gives no value.
class PlatformValue {
public:
    using Data = std::vector<std::uint8_t>;
    using Array = std::vector<PlatformValue>;
    using Dictionary = std::map<std::string, PlatformValue>;

    PlatformValue() = default;
    PlatformValue(bool value) : value_(value) {}                       // NOLINT(google-explicit-constructor)
    PlatformValue(int value) : value_(std::int64_t{value}) {}          // NOLINT(google-explicit-constructor)
    PlatformValue(std::int64_t value) : value_(value) {}               // NOLINT(google-explicit-constructor)
    PlatformValue(std::uint64_t value) : value_(static_cast<std::int64_t>(value)) {}  // NOLINT
    PlatformValue(double value) : value_(value) {}                     // NOLINT(google-explicit-constructor)
    PlatformValue(std::string value) : value_(std::move(value)) {}     // NOLINT(google-explicit-constructor)
    PlatformValue(const char* value) : value_(std::string(value)) {}   // NOLINT(google-explicit-constructor)
    PlatformValue(Data value) : value_(std::move(value)) {}            // NOLINT(google-explicit-constructor)
    PlatformValue(Array value) : value_(std::move(value)) {}           // NOLINT(google-explicit-constructor)
    PlatformValue(Dictionary value) : value_(std::move(value)) {}      // NOLINT(google-explicit-constructor)

    bool isNull() const { return std::holds_alternative<std::monostate>(value_); }
    std::optional<bool> asBool() const { return get<bool>(); }
    std::optional<std::int64_t> asInteger() const { return get<std::int64_t>(); }
    std::optional<double> asReal() const { return get<double>(); }
    std::optional<std::string> asText() const { return get<std::string>(); }
    std::optional<Data> asData() const { return get<Data>(); }
    const Array* asArray() const { return std::get_if<Array>(&value_); }
    const Dictionary* asDictionary() const { return std::get_if<Dictionary>(&value_); }

    bool operator==(const PlatformValue& other) const { return value_ == other.value_; }

private:
    template <typename T>
    std::optional<T> get() const {
        if (const T* value = std::get_if<T>(&value_)) {
            return *value;
        }
        return std::nullopt;
    }

    std::variant<std::monostate, bool, std::int64_t, double, std::string, Data, Array, Dictionary> value_;
};

}  // namespace harbormind
