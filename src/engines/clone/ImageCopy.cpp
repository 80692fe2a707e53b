#include "engines/clone/ImageCopy.h"

#include <cstring>

#include "engines/clone/CloneCopier.h"
#include "engines/clone/SparseImageFile.h"
#include "engines/clone/ZeroFillingSource.h"
#include "engines/clone/ZstdImageFile.h"

namespace harbormind::clone {
namespace {

CloneMap mapOf(const CloneSource& source) {
    CloneMap map;
    map.sourceSize = source.size();
    map.sectorSize = source.sectorSize();
    return map;
}

// An image has no map to keep: a stopped image is made again from its start.
void noMap(const CloneMap&) {}

CloneOutcome failed(CloneOutcome outcome, const char* what, const CloneIoResult& result) {
    outcome.end = CloneEnd::writeFailed;
    outcome.reason = std::string(what) + ": " + std::strerror(result.error);
    return outcome;
}

}  // namespace

CloneOutcome ImageCopy::create(CloneSource& source, int imageFd, bool compress, const CloneOptions& options,
                               const std::atomic<bool>& stop, CloneProgressSink progress) {
    CloneMap map = mapOf(source);
    if (compress) {
        ZeroFillingSource inOrder(source);
        ZstdImageFile image(imageFd, source.size());
        CloneOutcome outcome = CloneCopier(inOrder, image, map, options, stop, noMap, std::move(progress)).run();
        outcome.unreadableBytes = std::max(outcome.unreadableBytes, inOrder.unreadableBytes());
        if (outcome.end != CloneEnd::finished) {
            return outcome;
        }
        CloneIoResult ended = image.finish();
        return ended.status == CloneIoStatus::ok ? outcome : failed(outcome, "ending the image failed", ended);
    }
    SparseImageFile image(imageFd);
    if (CloneIoResult emptied = image.prepare(); emptied.status != CloneIoStatus::ok) {
        return failed({}, "the image file cannot be emptied", emptied);
    }
    CloneOutcome outcome = CloneCopier(source, image, map, options, stop, noMap, std::move(progress)).run();
    if (outcome.end != CloneEnd::finished) {
        return outcome;
    }
    CloneIoResult sized = image.finish(source.size());
    return sized.status == CloneIoStatus::ok ? outcome : failed(outcome, "the image file could not be completed", sized);
}

CloneOutcome ImageCopy::restore(ImageFileSource& image, CloneDestination& destination, const CloneOptions& options,
                                const std::atomic<bool>& stop, CloneProgressSink progress) {
    CloneMap map = mapOf(image);
    CloneOutcome outcome = CloneCopier(image, destination, map, options, stop, noMap, std::move(progress)).run();
    if (outcome.end != CloneEnd::finished && !image.problem().empty()) {
        outcome.reason = image.problem();
    }
    return outcome;
}

}  // namespace harbormind::clone
