#include "system/support/SystemGroup.h"

#include "testsupport/ProgramRun.h"

namespace harbormind::test {
namespace {

// groupadd's exit status for a name that is taken.
constexpr int nameInUse = 9;

}  // namespace

std::unique_ptr<SystemGroup> SystemGroup::create(const std::string& name, std::string& error) {
    Outcome added = runProgram({"groupadd", name}, {}, "/dev/null");
    if (added.status == nameInUse) {
        // Left by a test of the same process id that did not end cleanly: ours by its name.
        runProgram({"groupdel", name}, {}, "/dev/null");
        added = runProgram({"groupadd", name}, {}, "/dev/null");
    }
    if (added.status != 0) {
        error = "groupadd " + name + " failed (" + std::to_string(added.status) + ")";
        return nullptr;
    }
    std::unique_ptr<SystemGroup> group(new SystemGroup());
    group->name_ = name;
    return group;
}

SystemGroup::~SystemGroup() {
    if (!name_.empty()) {
        runProgram({"groupdel", name_}, {}, "/dev/null");
    }
}

}  // namespace harbormind::test
