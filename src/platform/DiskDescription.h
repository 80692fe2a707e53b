#pragma once

#include <optional>
#include <string>

#include "platform/PlatformValue.h"

namespace harbormind {

// A copy of a disk's description dictionary with typed reads. A missing key or a value of
// another type reads as no value.
class DiskDescription {
public:
    DiskDescription() = default;
    explicit DiskDescription(PlatformValue::Dictionary values) : values_(std::move(values)) {}

    std::optional<std::string> text(const std::string& key) const { return find(key).asText(); }
    std::optional<std::int64_t> integer(const std::string& key) const { return find(key).asInteger(); }
    std::optional<double> real(const std::string& key) const { return find(key).asReal(); }
    std::optional<bool> boolean(const std::string& key) const { return find(key).asBool(); }
    // A path text, or a local file URL ("file:///Volumes/NAME/", "file://localhost/") read
    // as the path it names; any other URL reads as no value.
    std::optional<std::string> path(const std::string& key) const;
    static std::optional<std::string> pathFromText(const std::string& text);

    const PlatformValue::Dictionary& values() const { return values_; }
    PlatformValue::Dictionary& values() { return values_; }

private:
    PlatformValue find(const std::string& key) const {
        auto it = values_.find(key);
        return it == values_.end() ? PlatformValue{} : it->second;
    }

    PlatformValue::Dictionary values_;
};

}  // namespace harbormind
