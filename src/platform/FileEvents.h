#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileEvent.h"
#include "platform/FileEventStream.h"
#include "support/Clock.h"

namespace harbormind {

// The file-system event service: streams that report created, removed, renamed and modified
// items under folder trees, coalesced over a latency. The flag bits are the platform's own
// stream-creation and per-event bits, shared by every implementation.
class FileEvents {
public:
    using BatchHandler = std::function<void(const std::vector<FileEvent>&)>;

    // Stream creation flags.
    static constexpr std::uint32_t createUseCFTypes = 0x1;  // paths arrive as strings
    static constexpr std::uint32_t createNoDefer = 0x2;
    static constexpr std::uint32_t createWatchRoot = 0x4;
    static constexpr std::uint32_t createIgnoreSelf = 0x8;
    static constexpr std::uint32_t createFileEvents = 0x10;  // one event per file, not per folder

    // Per-event flags.
    static constexpr std::uint32_t eventMustScanSubDirs = 0x1;
    static constexpr std::uint32_t eventUserDropped = 0x2;
    static constexpr std::uint32_t eventKernelDropped = 0x4;
    static constexpr std::uint32_t eventRootChanged = 0x20;
    static constexpr std::uint32_t eventItemCreated = 0x100;
    static constexpr std::uint32_t eventItemRemoved = 0x200;
    static constexpr std::uint32_t eventItemInodeMetaMod = 0x400;
    static constexpr std::uint32_t eventItemRenamed = 0x800;
    static constexpr std::uint32_t eventItemModified = 0x1000;
    static constexpr std::uint32_t eventItemIsFile = 0x10000;
    static constexpr std::uint32_t eventItemIsDir = 0x20000;
    static constexpr std::uint32_t eventItemIsSymlink = 0x40000;

    virtual ~FileEvents() = default;

    // A stream over the folder trees `paths`, reporting from its start on. No stream (nullptr)
    // when one cannot be made.
    virtual std::unique_ptr<FileEventStream> createStream(const std::vector<std::string>& paths,
                                                          std::uint32_t createFlags, Clock::Duration latency,
                                                          BatchHandler handler) = 0;
};

}  // namespace harbormind
