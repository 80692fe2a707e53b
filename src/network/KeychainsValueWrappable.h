#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace harbormind {

// How a value is turned into keychain bytes and back: text as its UTF-8 bytes, data as it
// is, a bool as one byte (1 or 0).
template <typename T>
struct KeychainsValueWrappable;

template <>
struct KeychainsValueWrappable<std::string> {
    static std::vector<std::uint8_t> wrap(const std::string& value) { return {value.begin(), value.end()}; }
    static std::optional<std::string> unwrap(const std::vector<std::uint8_t>& data) {
        return std::string(data.begin(), data.end());
    }
};

template <>
struct KeychainsValueWrappable<std::vector<std::uint8_t>> {
    static std::vector<std::uint8_t> wrap(const std::vector<std::uint8_t>& value) { return value; }
    static std::optional<std::vector<std::uint8_t>> unwrap(const std::vector<std::uint8_t>& data) { return data; }
};

template <>
struct KeychainsValueWrappable<bool> {
    static std::vector<std::uint8_t> wrap(bool value) { return {static_cast<std::uint8_t>(value ? 1 : 0)}; }
    static std::optional<bool> unwrap(const std::vector<std::uint8_t>& data) {
        if (data.size() != 1 || data[0] > 1) {
            return std::nullopt;
        }
        return data[0] == 1;
    }
};

}  // namespace harbormind
