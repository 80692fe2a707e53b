#include "testsupport/ProgramRun.h"

#include <unistd.h>

#include "testsupport/ChildProcess.h"
#include "testsupport/WholeFile.h"

namespace harbormind::test {

Outcome runProgram(const std::vector<std::string>& argv,
                   const std::map<std::string, std::string>& environment, const std::string& errFile,
                   std::chrono::milliseconds limit) {
    int pipe = -1;
    ChildProcess child(argv, environment, &pipe, errFile);
    Outcome outcome;
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(pipe, buffer, sizeof buffer)) > 0) {
        outcome.out.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipe);
    outcome.status = child.waitExit(limit).value_or(-1);
    if (!errFile.empty()) {
        outcome.err = readWholeFile(errFile);
    }
    return outcome;
}

}  // namespace harbormind::test
