#pragma once

#include <sstream>
#include <string>
#include <utility>

#include "network/NetworkDriveCommands.h"

namespace harbormind::test {

// Runs one network verb as one run of the command line would: its exit status and its output.
template <typename Verb>
std::pair<int, std::string> runNetworkVerb(Verb verb, bool json = false) {
    std::ostringstream out;
    NetworkDriveCommands commands(out, json);
    int status = verb(commands);
    return {status, out.str()};
}

}  // namespace harbormind::test
