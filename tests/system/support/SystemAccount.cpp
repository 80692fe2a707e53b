#include "system/support/SystemAccount.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "testsupport/ProgramRun.h"

namespace harbormind::test {
namespace {

// useradd's exit status for a name that is taken.
constexpr int nameInUse = 9;

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) {
        text += (text.empty() ? "" : ",") + word;
    }
    return text;
}

}  // namespace

std::unique_ptr<SystemAccount> SystemAccount::create(const std::string& name, const std::string& homeParent,
                                                     const std::vector<std::string>& groups, std::string& error) {
    std::unique_ptr<SystemAccount> account(new SystemAccount());
    account->home_ = homeParent + "/" + name;
    std::vector<std::string> add{"useradd", "--user-group", "--no-create-home", "--home-dir", account->home_,
                                 "--shell", "/usr/sbin/nologin"};
    if (!groups.empty()) {
        add.insert(add.end(), {"--groups", joined(groups)});
    }
    add.push_back(name);
    Outcome added = runProgram(add, {}, "/dev/null");
    if (added.status == nameInUse) {
        // Left by a test of the same process id that did not end cleanly: ours by its name.
        runProgram({"userdel", name}, {}, "/dev/null");
        runProgram({"groupdel", name}, {}, "/dev/null");
        added = runProgram(add, {}, "/dev/null");
    }
    if (added.status != 0) {
        error = "useradd " + name + " failed (" + std::to_string(added.status) + ")";
        return nullptr;
    }
    account->name_ = name;
    struct passwd* entry = ::getpwnam(name.c_str());
    if (entry == nullptr) {
        error = "useradd made no user " + name;
        return nullptr;
    }
    account->uid_ = entry->pw_uid;
    account->gid_ = entry->pw_gid;
    for (const std::string& folder : {account->home_, account->runtimeFolder()}) {
        std::filesystem::create_directories(folder);
        ::chown(folder.c_str(), account->uid_, account->gid_);
        ::chmod(folder.c_str(), 0700);
    }
    return account;
}

SystemAccount::~SystemAccount() {
    if (name_.empty()) {
        return;
    }
    runProgram({"userdel", name_}, {}, "/dev/null");
    runProgram({"groupdel", name_}, {}, "/dev/null");
    std::error_code ignored;
    std::filesystem::remove_all(home_, ignored);
}

}  // namespace harbormind::test
