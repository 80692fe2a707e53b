#pragma once

#include <memory>
#include <string>

#include "system/support/SystemAccount.h"
#include "testsupport/ChildProcess.h"

namespace harbormind::test {

// A process of a test user working in a folder (`tail`, its current folder there) until it is
// ended, so the volume the folder is on is busy. setpriv runs it in its own place, so ending
// the child ends the user's process.
class FolderHolder {
public:
    // Null when the process did not settle in `folder` within ten seconds.
    static std::unique_ptr<ChildProcess> start(const SystemAccount& user, const std::string& folder);
};

}  // namespace harbormind::test
