#include "platform/sim/SimFileEvents.h"

#include <algorithm>

#include "platform/sim/SimPaths.h"

namespace harbormind {
namespace {

bool isInTree(const std::string& path, const std::string& root) {
    if (root == "/") {
        return !path.empty() && path[0] == '/';
    }
    return path == root || (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                            path[root.size()] == '/');
}

}  // namespace

struct SimFileEvents::Stream : std::enable_shared_from_this<SimFileEvents::Stream> {
    std::vector<std::string> roots;
    std::uint32_t createFlags = 0;
    Clock::Duration latency{0};
    BatchHandler handler;

    std::mutex mutex;
    std::recursive_mutex deliveryMutex;
    std::shared_ptr<DispatchQueue> queue;
    bool active = false;
    std::vector<FileEvent> pending;
    bool scheduled = false;

    void add(FileEvent event) {
        std::lock_guard lock(mutex);
        if (!active) {
            return;
        }
        if (!(createFlags & FileEvents::createFileEvents)) {
            event.path = SimPaths::folderOf(event.path);
            event.flags = 0;
        }
        auto earlier = std::find_if(pending.begin(), pending.end(),
                                    [&](const FileEvent& other) { return other.path == event.path; });
        if (earlier != pending.end()) {
            earlier->flags |= event.flags;
            earlier->eventId = event.eventId;
        } else {
            pending.push_back(std::move(event));
        }
        if (scheduled) {
            return;
        }
        scheduled = true;
        std::weak_ptr<Stream> weak = weak_from_this();
        std::shared_ptr<DispatchQueue> target = queue;
        Clock::current().schedule(latency, [weak, target] {
            target->async([weak] {
                if (auto stream = weak.lock()) {
                    stream->deliver();
                }
            });
        });
    }

    void deliver() {
        std::lock_guard delivering(deliveryMutex);
        std::vector<FileEvent> batch;
        {
            std::lock_guard lock(mutex);
            scheduled = false;
            if (!active) {
                pending.clear();
                return;
            }
            batch.swap(pending);
        }
        if (!batch.empty()) {
            handler(batch);
        }
    }
};

namespace {

class SimFileEventStream final : public FileEventStream {
public:
    explicit SimFileEventStream(std::shared_ptr<SimFileEvents::Stream> stream) : stream_(std::move(stream)) {}
    ~SimFileEventStream() override { stop(); }

    bool start(std::shared_ptr<DispatchQueue> queue) override {
        if (!queue) {
            return false;
        }
        std::lock_guard lock(stream_->mutex);
        stream_->queue = std::move(queue);
        stream_->active = true;
        return true;
    }

    void stop() override {
        {
            std::lock_guard lock(stream_->mutex);
            stream_->active = false;
            stream_->pending.clear();
        }
        std::lock_guard delivering(stream_->deliveryMutex);
    }

private:
    std::shared_ptr<SimFileEvents::Stream> stream_;
};

}  // namespace

std::unique_ptr<FileEventStream> SimFileEvents::createStream(const std::vector<std::string>& paths,
                                                             std::uint32_t createFlags, Clock::Duration latency,
                                                             BatchHandler handler) {
    if (paths.empty() || !handler) {
        return nullptr;
    }
    auto stream = std::make_shared<Stream>();
    stream->roots = paths;
    stream->createFlags = createFlags;
    stream->latency = latency;
    stream->handler = std::move(handler);
    {
        std::lock_guard lock(mutex_);
        std::erase_if(streams_, [](const std::weak_ptr<Stream>& weak) { return weak.expired(); });
        streams_.push_back(stream);
    }
    return std::make_unique<SimFileEventStream>(stream);
}

void SimFileEvents::post(const std::string& path, std::uint32_t flags) {
    std::vector<std::shared_ptr<Stream>> targets;
    std::uint64_t eventId = 0;
    {
        std::lock_guard lock(mutex_);
        eventId = nextEventId_++;
        for (const auto& weak : streams_) {
            auto stream = weak.lock();
            if (stream && std::any_of(stream->roots.begin(), stream->roots.end(),
                                      [&](const std::string& root) { return isInTree(path, root); })) {
                targets.push_back(std::move(stream));
            }
        }
    }
    for (const auto& stream : targets) {
        stream->add(FileEvent{path, flags, eventId});
    }
}

}  // namespace harbormind
