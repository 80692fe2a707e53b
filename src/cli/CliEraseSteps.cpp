#include "cli/CliEraseSteps.h"

#include <unistd.h>

#include <istream>
#include <ostream>

#include "cli/CliContext.h"
#include "disktools/DMEraseChecks.h"
#include "disktools/DMEraseTarget.h"

namespace harbormind {

bool CliEraseSteps::confirmed(CliContext& context, const std::string& question, bool yes) {
    if (yes) {
        return true;
    }
    if (!::isatty(STDIN_FILENO)) {
        context.err << "harbormindctl: " << question << "\nharbormindctl: not confirmed; give --yes to go ahead\n";
        return false;
    }
    context.err << question << " Type \"yes\" to go ahead: " << std::flush;
    std::string answer;
    std::getline(context.in, answer);
    return answer == "yes";
}

int CliEraseSteps::prepare(CliContext& context, const std::string& verb, const DMEraseTarget& target) {
    if (std::string why = DMEraseChecks::refusal(target); !why.empty()) {
        return context.fail(verb + " " + target.identifier + ": " + why);
    }
    if (std::string why = DMEraseChecks::unmountVolumes(*context.manager(), target); !why.empty()) {
        context.fail(verb + " " + target.identifier + ": " + why);
        return 16;
    }
    return 0;
}

}  // namespace harbormind
