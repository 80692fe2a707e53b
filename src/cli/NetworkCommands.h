#pragma once

#include <CLI/CLI.hpp>

namespace harbormind {

// `harbormindctl network list|add|connect|disconnect|remove`.
void registerNetworkCommands(CLI::App& app);

}  // namespace harbormind
