#pragma once

#include <cstdint>

namespace harbormind {

// A device number held as a small index into one table of the devices this process has seen:
// a tree repeats the same few devices in millions of nodes. Reads and converts like the number.
// Past 65,534 different devices a new one reads back as `unknown`, which matches no real device,
// so a check that compares devices fails closed.
class DeviceNumber {
public:
    static constexpr std::uint64_t unknown = ~std::uint64_t{0};

    DeviceNumber() = default;
    DeviceNumber(std::uint64_t device) : index_(indexOf(device)) {}  // NOLINT: reads as the number
    operator std::uint64_t() const;                                    // NOLINT: reads as the number

    // The index itself, to be kept in fewer bytes than the number.
    std::uint16_t index() const { return index_; }
    static DeviceNumber fromIndex(std::uint16_t index) {
        DeviceNumber number;
        number.index_ = index;
        return number;
    }

private:
    static std::uint16_t indexOf(std::uint64_t device);

    std::uint16_t index_ = 0;  // 0 is device 0
};

}  // namespace harbormind
