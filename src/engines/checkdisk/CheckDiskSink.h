#pragma once

#include <functional>
#include <string>

#include "xpc/DMCheckStatus.h"

namespace harbormind {

// Receives a First Aid run's stream: one checkStart, checkRuning lines (each ending with a
// line feed), then one checkEnd or checkStop. Called on the thread that runs the check.
using CheckDiskSink = std::function<void(DMCheckStatus status, const std::string& line)>;

}  // namespace harbormind
