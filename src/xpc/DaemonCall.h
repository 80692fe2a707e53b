#pragma once

#include <memory>
#include <string>
#include <utility>

#include "support/Clock.h"
#include "support/ReplyWait.h"
#include "xpc/DaemonReachability.h"
#include "xpc/XPCRemoteObject.h"

namespace harbormind {

// Time limits for waiting on the daemon. A daemon that never answers must not freeze the
// caller: after the limit the pre-filled default is used and a warning is logged.
struct DaemonCallLimit {
    // Questions about a device, asked while drives are discovered and classified.
    static constexpr Clock::Duration query = seconds(10);
    // Requests that do work (unlock, lock, mount): key derivation can take a while.
    static constexpr Clock::Duration operation = seconds(120);
    // Requests that may wait for an administrator's password: longer than the daemon waits
    // for the answer (300 s), so the daemon, not the client, ends a prompt left open, and a
    // client never gives up on a request the daemon still carries out.
    static constexpr Clock::Duration administrator = seconds(330);
};

// Sends one request through a fresh connection of `object` and waits for its reply; the
// answer is `defaultAnswer` when the connection fails, the call fails or the limit passes.
template <typename Protocol, typename T, typename Call>
T waitForDaemon(XPCRemoteObject& object, T defaultAnswer, Clock::Duration limit, const std::string& what,
                Call&& call) {
    ReplyWait<T> wait(std::move(defaultAnswer));
    std::shared_ptr<Protocol> proxy = object.template remoteObject<Protocol>([wait] { wait.fail(); });
    if (proxy) {
        call(*proxy, [answer = wait.replyHandler()](T value) {
            DaemonReachability::answered();
            answer(std::move(value));
        });
    }
    return wait.wait(limit, what);
}

}  // namespace harbormind
