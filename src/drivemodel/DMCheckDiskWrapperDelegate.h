#pragma once

#include <cstdint>
#include <string>

namespace harbormind {

// Receives a First Aid run's output: a line of the checker's output and its stage (a
// DMCheckStatus raw value). Called on the daemon connection's thread.
class DMCheckDiskWrapperDelegate {
public:
    virtual ~DMCheckDiskWrapperDelegate() = default;
    virtual void updateUIWithChekcInfo(const std::string& info, std::int64_t checkStatus) = 0;
};

}  // namespace harbormind
