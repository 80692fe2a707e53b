#pragma once

namespace harbormind {

// How a First Aid run ended, for the last line of its stream and for a caller's exit code.
enum class CheckDiskVerdict {
    clean,         // the checker found nothing wrong
    repaired,      // errors were found and the repair left the volume clean
    errorsRemain,  // errors were found and are still there
    notCompleted,  // the checker could not run or gave up on its own
    stopped,       // nothing was checked: mounted, unknown file system or device gone
};

// Whether the volume ended clean.
inline bool endsClean(CheckDiskVerdict verdict) {
    return verdict == CheckDiskVerdict::clean || verdict == CheckDiskVerdict::repaired;
}

}  // namespace harbormind
