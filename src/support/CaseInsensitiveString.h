#pragma once

#include <functional>
#include <string>

namespace harbormind {

// A text compared and hashed without regard to letter case; it still shows its own case.
class CaseInsensitiveString {
public:
    CaseInsensitiveString(std::string value);  // NOLINT(google-explicit-constructor): made from any text
    CaseInsensitiveString(const char* value);  // NOLINT(google-explicit-constructor): and from a literal

    const std::string& value() const { return value_; }
    const std::string& caseInsensitiveValue() const { return caseInsensitiveValue_; }
    const std::string& description() const { return value_; }

    bool operator==(const CaseInsensitiveString& other) const {
        return caseInsensitiveValue_ == other.caseInsensitiveValue_;
    }

private:
    std::string value_;
    std::string caseInsensitiveValue_;
};

}  // namespace harbormind

template <>
struct std::hash<harbormind::CaseInsensitiveString> {
    std::size_t operator()(const harbormind::CaseInsensitiveString& text) const noexcept {
        return std::hash<std::string>{}(text.caseInsensitiveValue());
    }
};
