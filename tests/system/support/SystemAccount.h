#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

namespace harbormind::test {

// An unprivileged user made for one test (useradd) with a home folder of its own, and its own
// group; removed again, by its exact name, with the home folder.
class SystemAccount {
public:
    // Null with `error` when the user cannot be made. `groups` exist already.
    static std::unique_ptr<SystemAccount> create(const std::string& name, const std::string& homeParent,
                                                 const std::vector<std::string>& groups, std::string& error);
    ~SystemAccount();
    SystemAccount(const SystemAccount&) = delete;
    SystemAccount& operator=(const SystemAccount&) = delete;

    const std::string& name() const { return name_; }
    uid_t uid() const { return uid_; }
    gid_t gid() const { return gid_; }
    const std::string& home() const { return home_; }
    // XDG_RUNTIME_DIR: a private folder of the user's, as a login session has one.
    std::string runtimeFolder() const { return home_ + "/.run"; }

private:
    SystemAccount() = default;

    std::string name_;
    std::string home_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
};

}  // namespace harbormind::test
