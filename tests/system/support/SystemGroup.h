#pragma once

#include <memory>
#include <string>

namespace harbormind::test {

// A group made for one test (groupadd), removed again by its exact name.
class SystemGroup {
public:
    // Null with `error` when the group cannot be made.
    static std::unique_ptr<SystemGroup> create(const std::string& name, std::string& error);
    ~SystemGroup();
    SystemGroup(const SystemGroup&) = delete;
    SystemGroup& operator=(const SystemGroup&) = delete;

    const std::string& name() const { return name_; }

private:
    SystemGroup() = default;

    std::string name_;
};

}  // namespace harbormind::test
