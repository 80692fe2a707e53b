#include "platform/linux/disks/UeventMonitor.h"

#include <linux/netlink.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "support/Log.h"

namespace harbormind {

UeventMonitor::~UeventMonitor() {
    stop();
}

bool UeventMonitor::start(Handler handler) {
    if (thread_.joinable()) {
        return true;
    }
    handler_ = std::move(handler);
    socket_ = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_KOBJECT_UEVENT);
    if (socket_ < 0) {
        Log::warning(std::string("Cannot listen to kernel device events: ") + std::strerror(errno));
        return false;
    }
    // A burst of events (32 disks attached at once) must not overflow the queue.
    int size = 4 * 1024 * 1024;
    ::setsockopt(socket_, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size);
    ::setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    sockaddr_nl address{};
    address.nl_family = AF_NETLINK;
    address.nl_groups = 1;  // the kernel's own broadcast group
    if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        Log::warning(std::string("Cannot bind to kernel device events: ") + std::strerror(errno));
        ::close(socket_);
        socket_ = -1;
        return false;
    }
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    inotifyFd_ = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    stopping_ = false;
    thread_ = std::thread([this] { loop(); });
    return true;
}

void UeventMonitor::stop() {
    if (thread_.joinable()) {
        stopping_ = true;
        std::uint64_t one = 1;
        [[maybe_unused]] auto written = ::write(wakeFd_, &one, sizeof one);
        thread_.join();
    }
    // Under the lock: the watcher's queue may be adding a watch on the inotify descriptor.
    std::lock_guard lock(watchMutex_);
    for (int* fd : {&socket_, &wakeFd_, &inotifyFd_}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
    watchNames_.clear();
    watchIds_.clear();
}

void UeventMonitor::watchNode(const std::string& name, const std::string& nodePath) {
    std::lock_guard lock(watchMutex_);
    if (inotifyFd_ < 0 || watchIds_.count(name) != 0) {
        return;
    }
    int id = ::inotify_add_watch(inotifyFd_, nodePath.c_str(), IN_CLOSE_WRITE);
    if (id >= 0) {
        watchIds_[name] = id;
        watchNames_[id] = name;
    }
}

void UeventMonitor::unwatchNode(const std::string& name) {
    std::lock_guard lock(watchMutex_);
    auto it = watchIds_.find(name);
    if (it == watchIds_.end()) {
        return;
    }
    ::inotify_rm_watch(inotifyFd_, it->second);
    watchNames_.erase(it->second);
    watchIds_.erase(it);
}

void UeventMonitor::loop() {
    std::array<char, 16384> buffer{};
    while (!stopping_) {
        std::array<pollfd, 3> fds{{{socket_, POLLIN, 0}, {wakeFd_, POLLIN, 0}, {inotifyFd_, POLLIN, 0}}};
        // The thread blocks on the socket, not on the clock: kernel events arrive in real
        // time whatever clock the process runs on.
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            break;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            readKernelEvents(buffer.data(), buffer.size());
        }
        if ((fds[2].revents & POLLIN) != 0) {
            readNodeEvents();
        }
    }
}

void UeventMonitor::readKernelEvents(char* buffer, std::size_t size) {
    for (;;) {
        sockaddr_nl sender{};
        iovec io{buffer, size};
        msghdr header{};
        header.msg_name = &sender;
        header.msg_namelen = sizeof sender;
        header.msg_iov = &io;
        header.msg_iovlen = 1;
        ssize_t length = ::recvmsg(socket_, &header, 0);
        if (length <= 0) {
            if (length < 0 && errno == ENOBUFS) {
                Log::warning("Kernel device events were lost (receive buffer full); rescanning");
                if (handler_) {
                    handler_(UeventMessage{"resync", "", {}});
                }
                continue;
            }
            return;
        }
        // Only the kernel (port 0) is believed; anyone may send to the group otherwise.
        if (sender.nl_pid != 0) {
            continue;
        }
        auto message = UeventMessage::parse(buffer, static_cast<std::size_t>(length));
        if (message && message->isBlockDevice() && handler_) {
            handler_(*message);
        }
    }
}

void UeventMonitor::readNodeEvents() {
    alignas(inotify_event) std::array<char, 4096> events{};
    for (;;) {
        ssize_t length = ::read(inotifyFd_, events.data(), events.size());
        if (length <= 0) {
            return;
        }
        for (ssize_t offset = 0; offset < length;) {
            inotify_event event{};
            std::memcpy(&event, events.data() + offset, sizeof event);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
            std::string name;
            {
                std::lock_guard lock(watchMutex_);
                auto it = watchNames_.find(event.wd);
                if (it == watchNames_.end()) {
                    continue;
                }
                name = it->second;
                if ((event.mask & IN_IGNORED) != 0) {
                    // Only this watch goes: the name may be watched anew on a new node by now.
                    auto id = watchIds_.find(name);
                    if (id != watchIds_.end() && id->second == event.wd) {
                        watchIds_.erase(id);
                    }
                    watchNames_.erase(it);
                    continue;
                }
            }
            if ((event.mask & IN_CLOSE_WRITE) != 0 && handler_) {
                handler_(UeventMessage{"change", "", {{"SUBSYSTEM", "block"}, {"DEVNAME", name}, {"SOURCE", "write"}}});
            }
        }
    }
}

}  // namespace harbormind
