#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace harbormind {

class Platform;

// The whole command line program: parses `arguments` (without the program name), runs the
// verb and returns the exit status. `readSecret` asks for a password without echo; without
// one, the password is all of `in` (one trailing line break removed). A given `platform` is
// used instead of the one the options name. `secretTyped` says that `readSecret` reads from
// a terminal, where a new password is asked twice.
int runHarbormindctl(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                     std::istream& in,
                     std::function<std::optional<std::string>(const std::string& prompt)> readSecret = nullptr,
                     std::shared_ptr<Platform> platform = nullptr, bool secretTyped = false);

}  // namespace harbormind
