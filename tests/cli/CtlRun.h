#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/HarbormindCtl.h"

namespace harbormind::test {

// One run of the command line in this process: its exit status and what it wrote.
struct CtlRun {
    int status;
    std::string out;
    std::string err;
};

// Runs harbormindctl with `arguments`, `input` on its standard input.
inline CtlRun runCtl(const std::vector<std::string>& arguments, const std::string& input = {}) {
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in(input);
    int status = runHarbormindctl(arguments, out, err, in);
    return {status, out.str(), err.str()};
}

}  // namespace harbormind::test
