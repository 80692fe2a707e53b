#pragma once

#include <atomic>

#include "engines/clone/CloneIo.h"
#include "engines/clone/CloneOptions.h"
#include "engines/clone/CloneOutcome.h"
#include "engines/clone/CloneProgress.h"
#include "engines/clone/ImageFileSource.h"

namespace harbormind::clone {

// A disk image made or written back with the clone's copier: what the daemon's image jobs run.
class ImageCopy {
public:
    // Reads `source` into the file `imageFd`: raw with holes where the source reads zeros, or
    // compressed with zstd (unreadable sectors then read as zeros where they are, counted).
    static CloneOutcome create(CloneSource& source, int imageFd, bool compress, const CloneOptions& options,
                               const std::atomic<bool>& stop, CloneProgressSink progress);
    // Writes the image over `destination`; a damaged image ends the copy with its reason.
    static CloneOutcome restore(ImageFileSource& image, CloneDestination& destination, const CloneOptions& options,
                                const std::atomic<bool>& stop, CloneProgressSink progress);
};

}  // namespace harbormind::clone
