#include "platform/linux/processes/LinuxUserDatabase.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace harbormind {
namespace {

struct Account {
    std::string name;
    std::string home;
};

std::optional<Account> currentAccount() {
    long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
    for (;;) {
        passwd entry{};
        passwd* found = nullptr;
        int error = ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found);
        if (error == ERANGE && buffer.size() < (1U << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (error != 0 || found == nullptr) {
            return std::nullopt;
        }
        return Account{found->pw_name != nullptr ? found->pw_name : "", found->pw_dir != nullptr ? found->pw_dir : ""};
    }
}

}  // namespace

std::optional<std::string> LinuxUserDatabase::currentUserHome() {
    auto account = currentAccount();
    if (!account || account->home.empty()) {
        return std::nullopt;
    }
    return account->home;
}

std::optional<std::string> LinuxUserDatabase::currentUserName() {
    auto account = currentAccount();
    if (!account || account->name.empty()) {
        return std::nullopt;
    }
    return account->name;
}

std::string LinuxUserDatabase::processHome() {
    if (auto home = environment("HOME"); home && !home->empty()) {
        return *home;
    }
    return currentUserHome().value_or("/");
}

std::optional<std::string> LinuxUserDatabase::environment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

}  // namespace harbormind
