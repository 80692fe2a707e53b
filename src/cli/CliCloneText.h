#pragma once

#include <cstdint>
#include <string>

namespace harbormind {

// What `clone` prints, the same whether the copy runs in the command or in the daemon.
class CliCloneText {
public:
    // "1.29 GB", as every size is shown.
    static std::string bytes(double count);
    // "[#######.............]  1.29 GB / 4.29 GB  85.3 MB/s  0:00:32 left"; the speed counts
    // from `startedAt`, the first byte count reported (a resumed clone starts midway).
    static std::string progressLine(std::uint64_t current, std::uint64_t total, std::uint64_t startedAt,
                                    double elapsedSeconds);
    // The pair check's text for codes 1 to 4, then the reason ("the destination's volume sdc1
    // is mounted on /media/ann/USB: unmount it first"); the reason alone for other codes.
    static std::string refusal(std::int64_t code, const std::string& reason);
};

}  // namespace harbormind
