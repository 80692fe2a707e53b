#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/FileEventStream.h"
#include "platform/FileEvents.h"
#include "support/DispatchQueue.h"

namespace harbormind {

// A running file-event stream over a set of folder trees, reporting each event to a handler
// on the given queue. Releasing the watch stops it.
class FileWatch {
public:
    // Stream creation flags; raw values are the platform's bits.
    enum class CreateFlag : std::uint32_t {
        none = 0,
        useCFTypes = FileEvents::createUseCFTypes,
        noDefer = FileEvents::createNoDefer,
        watchRoot = FileEvents::createWatchRoot,
        ignoreSelf = FileEvents::createIgnoreSelf,
        fileEvents = FileEvents::createFileEvents,
    };

    // Per-event flags; raw values are the platform's bits.
    enum class EventFlag : std::uint32_t {
        none = 0,
        mustScanSubDirs = FileEvents::eventMustScanSubDirs,
        userDropped = FileEvents::eventUserDropped,
        kernelDropped = FileEvents::eventKernelDropped,
        rootChanged = FileEvents::eventRootChanged,
        itemCreated = FileEvents::eventItemCreated,
        itemRemoved = FileEvents::eventItemRemoved,
        itemInodeMetaMod = FileEvents::eventItemInodeMetaMod,
        itemRenamed = FileEvents::eventItemRenamed,
        itemModified = FileEvents::eventItemModified,
        itemIsFile = FileEvents::eventItemIsFile,
        itemIsDir = FileEvents::eventItemIsDir,
        itemIsSymlink = FileEvents::eventItemIsSymlink,
    };

    struct Event {
        std::string path;
        EventFlag flag = EventFlag::none;
        std::uint64_t eventID = 0;
    };

    enum class Error { startFailed, streamCreateFailed, notContainUseCFTypes };

    using EventHandler = std::function<void(const Event&)>;

    // A started watch, or why there is none: the flags lack useCFTypes, the platform has no
    // stream for these paths, or the stream would not start.
    static std::variant<std::unique_ptr<FileWatch>, Error> create(FileEvents* fileEvents,
                                                                  std::vector<std::string> paths, CreateFlag flags,
                                                                  std::shared_ptr<DispatchQueue> runLoop,
                                                                  double latency, EventHandler handler);

    ~FileWatch();
    FileWatch(const FileWatch&) = delete;
    FileWatch& operator=(const FileWatch&) = delete;

private:
    explicit FileWatch(std::unique_ptr<FileEventStream> stream) : stream_(std::move(stream)) {}

    std::unique_ptr<FileEventStream> stream_;
};

constexpr FileWatch::CreateFlag operator|(FileWatch::CreateFlag a, FileWatch::CreateFlag b) {
    return static_cast<FileWatch::CreateFlag>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}

constexpr FileWatch::EventFlag operator|(FileWatch::EventFlag a, FileWatch::EventFlag b) {
    return static_cast<FileWatch::EventFlag>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}

// True when every bit of `part` is set in `flags`.
constexpr bool contains(FileWatch::CreateFlag flags, FileWatch::CreateFlag part) {
    return (static_cast<std::uint32_t>(flags) & static_cast<std::uint32_t>(part)) == static_cast<std::uint32_t>(part);
}

constexpr bool contains(FileWatch::EventFlag flags, FileWatch::EventFlag part) {
    return (static_cast<std::uint32_t>(flags) & static_cast<std::uint32_t>(part)) == static_cast<std::uint32_t>(part);
}

}  // namespace harbormind
