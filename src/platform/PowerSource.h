#pragma once

namespace harbormind {

// The machine's power supply.
class PowerSource {
public:
    virtual ~PowerSource() = default;
    // True when an external power adapter is attached and reports its details.
    virtual bool hasExternalAdapter() = 0;
};

}  // namespace harbormind
