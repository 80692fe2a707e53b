#include "xpc/DaemonReachability.h"

#include <mutex>

namespace harbormind {
namespace {

std::mutex& stateMutex() {
    static auto* mutex = new std::mutex();
    return *mutex;
}

std::optional<std::string>& lastFailure() {
    static auto* failure = new std::optional<std::string>();
    return *failure;
}

}  // namespace

void DaemonReachability::connectionFailed(const std::string& description) {
    std::lock_guard lock(stateMutex());
    lastFailure() = description;
}

void DaemonReachability::answered() {
    std::lock_guard lock(stateMutex());
    lastFailure().reset();
}

std::optional<std::string> DaemonReachability::failure() {
    std::lock_guard lock(stateMutex());
    return lastFailure();
}

}  // namespace harbormind
