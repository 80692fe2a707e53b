#include "platform/linux/files/LinuxFileEventStream.h"

#include <dirent.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <map>
#include <mutex>

namespace harbormind {
namespace {

constexpr std::uint32_t watchMask = IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB | IN_MOVED_FROM |
                                    IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_DONT_FOLLOW | IN_ONLYDIR |
                                    IN_EXCL_UNLINK;

std::atomic<std::uint64_t>& eventCounter() {
    static std::atomic<std::uint64_t> counter{0};
    return counter;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (name.empty()) {
        return folder;
    }
    return folder == "/" ? "/" + name : folder + "/" + name;
}

std::uint32_t eventFlags(std::uint32_t mask) {
    std::uint32_t flags = 0;
    if (mask & IN_CREATE) {
        flags |= FileEvents::eventItemCreated;
    }
    if (mask & (IN_DELETE | IN_DELETE_SELF)) {
        flags |= FileEvents::eventItemRemoved;
    }
    if (mask & (IN_MOVED_FROM | IN_MOVED_TO | IN_MOVE_SELF)) {
        flags |= FileEvents::eventItemRenamed;
    }
    if (mask & (IN_MODIFY | IN_CLOSE_WRITE)) {
        flags |= FileEvents::eventItemModified;
    }
    if (mask & IN_ATTRIB) {
        flags |= FileEvents::eventItemInodeMetaMod;
    }
    flags |= (mask & IN_ISDIR) ? FileEvents::eventItemIsDir : FileEvents::eventItemIsFile;
    return flags;
}

}  // namespace

struct LinuxFileEventStream::State {
    std::vector<std::string> roots;
    std::uint32_t createFlags = 0;
    Clock::Duration latency{0};
    FileEvents::BatchHandler handler;

    std::mutex mutex;
    std::recursive_mutex deliveryMutex;
    int inotifyFd = -1;
    int stopFd = -1;
    std::map<int, std::string> folders;  // watch descriptor -> folder path
    std::shared_ptr<DispatchQueue> queue;
    Clock* clock = nullptr;
    bool active = false;
    std::vector<FileEvent> pending;
    Clock::TimerId deliveryTimer = 0;
    bool deliveryScheduled = false;

    // Watches `folder` and every folder below it; symbolic links are never followed.
    // Called with `mutex` held. False when `folder` itself cannot be watched.
    bool watchTree(const std::string& folder) {
        int wd = ::inotify_add_watch(inotifyFd, folder.c_str(), watchMask);
        if (wd < 0) {
            return false;
        }
        folders[wd] = folder;
        DIR* dir = ::opendir(folder.c_str());
        if (dir == nullptr) {
            return true;
        }
        std::vector<std::string> children;
        while (dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            if (name == "." || name == "..") {
                continue;
            }
            std::string child = joinPath(folder, name);
            bool isFolder = entry->d_type == DT_DIR;
            if (entry->d_type == DT_UNKNOWN) {
                struct stat info {};
                isFolder = ::lstat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
            }
            if (isFolder) {
                children.push_back(std::move(child));
            }
        }
        ::closedir(dir);
        for (const auto& child : children) {
            watchTree(child);
        }
        return true;
    }

    bool isRoot(const std::string& folder) const {
        for (const auto& root : roots) {
            if (root == folder) {
                return true;
            }
        }
        return false;
    }

    // Called with `mutex` held.
    void addEvent(FileEvent event) {
        for (auto& earlier : pending) {
            if (earlier.path == event.path) {
                earlier.flags |= event.flags;
                earlier.eventId = event.eventId;
                return;
            }
        }
        pending.push_back(std::move(event));
    }

    // Called with `mutex` held.
    void handleKernelEvent(const inotify_event& kernelEvent, std::shared_ptr<State> self) {
        if (kernelEvent.mask & IN_Q_OVERFLOW) {
            for (const auto& root : roots) {
                addEvent(FileEvent{root, FileEvents::eventMustScanSubDirs | FileEvents::eventKernelDropped,
                                   ++eventCounter()});
            }
            scheduleDelivery(std::move(self));
            return;
        }
        auto folder = folders.find(kernelEvent.wd);
        if (folder == folders.end()) {
            return;
        }
        const std::string folderPath = folder->second;
        if (kernelEvent.mask & IN_IGNORED) {
            folders.erase(folder);
            return;
        }
        std::string name = kernelEvent.len > 0 ? std::string(kernelEvent.name) : std::string();
        std::string path = joinPath(folderPath, name);
        if ((kernelEvent.mask & IN_ISDIR) && (kernelEvent.mask & (IN_CREATE | IN_MOVED_TO))) {
            watchTree(path);
        }
        std::uint32_t flags = eventFlags(kernelEvent.mask);
        if (kernelEvent.mask & (IN_DELETE_SELF | IN_MOVE_SELF)) {
            // A watched folder went away; its parent reports it too, except for a root.
            if (!isRoot(folderPath)) {
                return;
            }
            if (!(createFlags & FileEvents::createWatchRoot)) {
                return;
            }
            flags = FileEvents::eventRootChanged;
        } else if (!(createFlags & FileEvents::createFileEvents)) {
            // Folder-level streams report the folder whose contents changed.
            path = folderPath;
            flags = 0;
        }
        addEvent(FileEvent{std::move(path), flags, ++eventCounter()});
        scheduleDelivery(std::move(self));
    }

    // Called with `mutex` held.
    void scheduleDelivery(std::shared_ptr<State> self) {
        if (deliveryScheduled || !active) {
            return;
        }
        deliveryScheduled = true;
        std::weak_ptr<State> weak = self;
        deliveryTimer = clock->schedule(latency, [weak] {
            auto state = weak.lock();
            if (!state) {
                return;
            }
            std::shared_ptr<DispatchQueue> target;
            {
                std::lock_guard lock(state->mutex);
                target = state->queue;
            }
            if (target) {
                target->async([weak] {
                    if (auto current = weak.lock()) {
                        current->deliver();
                    }
                });
            }
        });
    }

    void deliver() {
        // Held while the handler runs, so stop() returns only once no handler is running
        // (a handler may itself stop the stream, on the same thread).
        std::lock_guard delivering(deliveryMutex);
        std::vector<FileEvent> batch;
        FileEvents::BatchHandler call;
        {
            std::lock_guard lock(mutex);
            deliveryScheduled = false;
            if (!active || pending.empty()) {
                pending.clear();
                return;
            }
            batch.swap(pending);
            call = handler;
        }
        call(batch);
    }

    void readLoop(const std::shared_ptr<State>& self) {
        alignas(inotify_event) char buffer[16384];
        for (;;) {
            pollfd fds[2] = {{inotifyFd, POLLIN, 0}, {stopFd, POLLIN, 0}};
            int ready = ::poll(fds, 2, -1);
            if (ready < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return;
            }
            if (fds[1].revents != 0) {
                return;
            }
            if ((fds[0].revents & POLLIN) == 0) {
                if (fds[0].revents != 0) {
                    return;
                }
                continue;
            }
            ssize_t got = ::read(inotifyFd, buffer, sizeof buffer);
            if (got <= 0) {
                if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
                    continue;
                }
                return;
            }
            std::lock_guard lock(mutex);
            for (ssize_t offset = 0; offset < got;) {
                const auto* kernelEvent = reinterpret_cast<const inotify_event*>(buffer + offset);
                handleKernelEvent(*kernelEvent, self);
                offset += static_cast<ssize_t>(sizeof(inotify_event) + kernelEvent->len);
            }
        }
    }
};

LinuxFileEventStream::LinuxFileEventStream(std::vector<std::string> paths, std::uint32_t createFlags,
                                           Clock::Duration latency, FileEvents::BatchHandler handler)
    : state_(std::make_shared<State>()) {
    for (auto& path : paths) {
        while (path.size() > 1 && path.back() == '/') {
            path.pop_back();
        }
    }
    state_->roots = std::move(paths);
    state_->createFlags = createFlags;
    state_->latency = latency;
    state_->handler = std::move(handler);
}

LinuxFileEventStream::~LinuxFileEventStream() {
    stop();
}

bool LinuxFileEventStream::start(std::shared_ptr<DispatchQueue> queue) {
    if (!queue) {
        return false;
    }
    std::lock_guard lock(state_->mutex);
    if (state_->active) {
        return true;
    }
    state_->inotifyFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (state_->inotifyFd < 0) {
        return false;
    }
    bool watched = true;
    for (const auto& root : state_->roots) {
        watched = watched && state_->watchTree(root);
    }
    state_->stopFd = watched ? ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK) : -1;
    if (!watched || state_->stopFd < 0) {
        ::close(state_->inotifyFd);
        state_->inotifyFd = -1;
        state_->folders.clear();
        return false;
    }
    state_->queue = std::move(queue);
    state_->clock = &Clock::current();
    state_->active = true;
    std::shared_ptr<State> state = state_;
    reader_ = std::thread([state] { state->readLoop(state); });
    return true;
}

void LinuxFileEventStream::stop() {
    {
        std::lock_guard lock(state_->mutex);
        if (!state_->active) {
            return;
        }
        state_->active = false;
        state_->pending.clear();
        if (state_->deliveryScheduled) {
            state_->clock->cancel(state_->deliveryTimer);
            state_->deliveryScheduled = false;
        }
        std::uint64_t one = 1;
        [[maybe_unused]] ssize_t ignored = ::write(state_->stopFd, &one, sizeof one);
    }
    if (reader_.joinable() && reader_.get_id() != std::this_thread::get_id()) {
        reader_.join();
    }
    std::lock_guard delivering(state_->deliveryMutex);
    std::lock_guard lock(state_->mutex);
    ::close(state_->inotifyFd);
    ::close(state_->stopFd);
    state_->inotifyFd = -1;
    state_->stopFd = -1;
    state_->folders.clear();
    state_->queue.reset();
}

}  // namespace harbormind
