#pragma once

#include <string>
#include <vector>

#include "daemon/DaemonMethod.h"

namespace harbormind {

// Every method of every service the daemon owns a name for.
class DaemonMethodTable {
public:
    static const std::vector<DaemonMethod>& all();
    static const DaemonMethod* find(const std::string& serviceName, const std::string& name);
    // The services whose calls carry the caller's callback object.
    static bool hasCallbacks(const std::string& serviceName);
};

}  // namespace harbormind
