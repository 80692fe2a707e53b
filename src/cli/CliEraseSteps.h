#pragma once

#include <string>

namespace harbormind {

class CliContext;
struct DMEraseTarget;

// The steps every verb that writes over a disk or volume shares: the question, and the
// unmounting of the target's volumes after the user's yes.
class CliEraseSteps {
public:
    // Exit status when the user said no.
    static constexpr int notConfirmed = 3;

    // Asks at a terminal; without one only `yes` (--yes) goes ahead.
    static bool confirmed(CliContext& context, const std::string& question, bool yes);
    // Unmounts the target's volumes; a volume of the system or the home folder refuses the
    // whole request. 0 when done, else the exit status (16 when something still uses one).
    static int prepare(CliContext& context, const std::string& verb, const DMEraseTarget& target);
};

}  // namespace harbormind
