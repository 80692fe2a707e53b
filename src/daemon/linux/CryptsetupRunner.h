#pragma once

#include <functional>
#include <string>
#include <vector>

namespace harbormind {

// Runs the encrypted-volume service's programs. Tests put a runner of their own here.
class CryptsetupRunner {
public:
    using LineHandler = std::function<void(const std::string& line)>;

    struct Result {
        int status = -1;        // the exit status; -1 when it did not start or was killed
        std::string errorText;  // what it wrote to standard error
        int signal = 0;         // the signal that killed it, if one did
    };

    virtual ~CryptsetupRunner() = default;
    // Runs `arguments` (an absolute program path first), writing `input` to its standard
    // input and handing each line of its standard output to `onLine`.
    virtual Result run(const std::vector<std::string>& arguments, const std::string& input,
                       const LineHandler& onLine) = 0;
    // Asks the running program to stop where it can be resumed; safe from any thread.
    virtual void interrupt() = 0;
};

}  // namespace harbormind
