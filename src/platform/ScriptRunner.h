#pragma once

#include <optional>
#include <string>
#include <utility>

#include "platform/ScriptPrivilege.h"

namespace harbormind {

// Runs a shell command line, as the user or with administrator rights after asking for them.
class ScriptRunner {
public:
    virtual ~ScriptRunner() = default;
    // (succeeded, output). A refused or cancelled administrator prompt is a failure.
    virtual std::pair<bool, std::optional<std::string>> run(const std::string& commandLine,
                                                            ScriptPrivilege privilege) = 0;
};

}  // namespace harbormind
