#pragma once

#include <memory>

#include <sdbus-c++/Types.h>

namespace harbormind {

// An open file a caller passed over the bus (type `h`): the caller opened it with their own
// rights, so the daemon never opens a path for them. Copies share the one descriptor, which is
// closed with the last of them.
class DaemonFileDescriptor {
public:
    DaemonFileDescriptor() = default;
    explicit DaemonFileDescriptor(sdbus::UnixFd fd) : fd_(std::make_shared<sdbus::UnixFd>(std::move(fd))) {}

    int get() const { return fd_ ? fd_->get() : -1; }
    bool isValid() const { return get() >= 0; }
    bool operator==(const DaemonFileDescriptor& other) const { return fd_ == other.fd_; }

private:
    std::shared_ptr<sdbus::UnixFd> fd_;
};

}  // namespace harbormind
