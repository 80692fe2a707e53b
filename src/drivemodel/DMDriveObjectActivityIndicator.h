#pragma once

#include <optional>

namespace harbormind {

// What a drive is busy with: a determinate progress (0 to 1), nothing, or an activity of
// unknown length. Local drives always report none; network drives their connection activity.
class DMDriveObjectActivityIndicator {
public:
    enum class Kind { progress, none, infinite };

    static DMDriveObjectActivityIndicator progress(double value) { return {Kind::progress, value}; }
    static DMDriveObjectActivityIndicator none() { return {Kind::none, 0}; }
    static DMDriveObjectActivityIndicator infinite() { return {Kind::infinite, 0}; }

    Kind kind() const { return kind_; }
    // The payload of a progress indicator; none for the other kinds.
    std::optional<double> value() const {
        return kind_ == Kind::progress ? std::optional<double>(value_) : std::nullopt;
    }

    bool operator==(const DMDriveObjectActivityIndicator& other) const {
        return kind_ == other.kind_ && (kind_ != Kind::progress || value_ == other.value_);
    }

private:
    DMDriveObjectActivityIndicator(Kind kind, double value) : kind_(kind), value_(value) {}

    Kind kind_;
    double value_;
};

}  // namespace harbormind
