#pragma once

#include "daemon/DriveMountBackend.h"

namespace harbormind {

// Mounting where the daemon cannot mount (the simulated platform): every request refused.
class RefusingDriveMountBackend final : public DriveMountBackend {
public:
    CodeResult mountVolume(const std::string&, const DriveMountCaller&) override { return refused(); }
    CodeResult unmountVolume(const std::string&, bool, bool, const DriveMountCaller&) override {
        return refused();
    }
    CodeResult ejectDisk(const std::string&, const DriveMountCaller&) override { return refused(); }

private:
    static CodeResult refused() { return {failed, "this daemon does not mount drives"}; }
};

}  // namespace harbormind
