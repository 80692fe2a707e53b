#pragma once

#include <functional>
#include <string>

namespace harbormind {

// How the agent asks the user whether an unlisted disk may mount. `answer` is called once,
// on the main queue: true allows the disk, false leaves it refused.
class USBAgentQuestion {
public:
    virtual ~USBAgentQuestion() = default;
    virtual void ask(const std::string& bsdName, const std::string& diskName, std::function<void(bool allow)> answer) = 0;
};

}  // namespace harbormind
