#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace harbormind {

// Who sent a call, as the bus reports it (never as the caller claims it).
struct CallerIdentity {
    std::string busName;   // the unique name of the caller's connection
    std::uint32_t uid = 0;
    std::uint32_t pid = 0;
    std::vector<std::uint32_t> groups;  // the process's groups, when the bus reports them
};

}  // namespace harbormind
