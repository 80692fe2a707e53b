#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "platform/linux/disks/UeventMessage.h"

namespace harbormind {

// Listens to the kernel's device events on a netlink socket, on a thread of its own, and
// hands each block-device event to the handler (on that thread; the handler posts onward).
// It also watches device nodes for writes, as a udev daemon does: formatting a partition
// sends no kernel event, so a closed-after-writing device node is reported as a "change".
class UeventMonitor {
public:
    using Handler = std::function<void(const UeventMessage&)>;

    UeventMonitor() = default;
    ~UeventMonitor();
    UeventMonitor(const UeventMonitor&) = delete;
    UeventMonitor& operator=(const UeventMonitor&) = delete;

    // False when the socket cannot be opened (no netlink in a container, for example).
    bool start(Handler handler);
    void stop();

    // Reports a "change" for `name` when `nodePath` is closed after writing.
    void watchNode(const std::string& name, const std::string& nodePath);
    void unwatchNode(const std::string& name);

private:
    void loop();
    void readKernelEvents(char* buffer, std::size_t size);
    void readNodeEvents();

    Handler handler_;
    int socket_ = -1;
    int wakeFd_ = -1;
    int inotifyFd_ = -1;
    std::mutex watchMutex_;
    std::map<int, std::string> watchNames_;
    std::map<std::string, int> watchIds_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace harbormind
