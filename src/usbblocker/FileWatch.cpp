#include "usbblocker/FileWatch.h"

namespace harbormind {

std::variant<std::unique_ptr<FileWatch>, FileWatch::Error> FileWatch::create(
    FileEvents* fileEvents, std::vector<std::string> paths, CreateFlag flags, std::shared_ptr<DispatchQueue> runLoop,
    double latency, EventHandler handler) {
    if (!contains(flags, CreateFlag::useCFTypes)) {
        return Error::notContainUseCFTypes;
    }
    if (fileEvents == nullptr || !handler) {
        return Error::streamCreateFailed;
    }
    auto stream = fileEvents->createStream(
        paths, static_cast<std::uint32_t>(flags), seconds(latency),
        [handler = std::move(handler)](const std::vector<FileEvent>& batch) {
            for (const auto& event : batch) {
                handler(Event{event.path, static_cast<EventFlag>(event.flags), event.eventId});
            }
        });
    if (!stream) {
        return Error::streamCreateFailed;
    }
    if (!runLoop || !stream->start(std::move(runLoop))) {
        return Error::startFailed;
    }
    return std::unique_ptr<FileWatch>(new FileWatch(std::move(stream)));
}

FileWatch::~FileWatch() {
    stream_->stop();
}

}  // namespace harbormind
