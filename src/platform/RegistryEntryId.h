#pragma once

#include <cstdint>

namespace harbormind {

// A handle to one entry of the device registry.
using RegistryEntryId = std::uint32_t;

}  // namespace harbormind
