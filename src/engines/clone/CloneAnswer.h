#pragma once

#include <cstdint>
#include <string>

namespace harbormind::clone {

// An answer of the engine with what a person needs to know: for a refusal its reason, for a
// clone that starts anything worth telling (such as a damaged record that made it start over).
struct CloneAnswer {
    std::int64_t code = 0;
    std::string message;
};

}  // namespace harbormind::clone
