#include "drivemodel/DMRepeatedCheck.h"

#include "support/Clock.h"

namespace harbormind {

bool DMRepeatedCheck::until(int checks, const std::function<bool()>& condition) {
    for (int check = 0; check < checks; ++check) {
        if (condition()) {
            return true;
        }
        Clock::current().sleepFor(seconds(1));
    }
    return false;
}

}  // namespace harbormind
