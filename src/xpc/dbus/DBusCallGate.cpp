#include "xpc/dbus/DBusCallGate.h"

#include <utility>

namespace harbormind {

DBusCallGate& DBusCallGate::daemonCalls() {
    static DBusCallGate gate(4);
    return gate;
}

void DBusCallGate::enter(std::function<void()> send) {
    {
        std::lock_guard lock(mutex_);
        if (taken_ >= places_) {
            waiting_.push_back(std::move(send));
            return;
        }
        ++taken_;
    }
    send();
}

// The place passes straight to the next waiting call, which is sent outside the lock.
void DBusCallGate::leave() {
    std::function<void()> next;
    {
        std::lock_guard lock(mutex_);
        if (waiting_.empty()) {
            --taken_;
            return;
        }
        next = std::move(waiting_.front());
        waiting_.pop_front();
    }
    next();
}

int DBusCallGate::waiting() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(waiting_.size());
}

}  // namespace harbormind
