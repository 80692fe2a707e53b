#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "daemon/linux/LuksLayout.h"

namespace harbormind {

// The argument vectors of every program the encrypted-volume service runs. Secrets never
// appear here: cryptsetup reads them from standard input (`--key-file -`). `header` is the
// detached header file, empty for a volume whose header is in front of its data.
class LuksCommandLines {
public:
    // Room made in front of the data for the header (twice the header, as cryptsetup advises).
    static constexpr std::uint64_t reducedBytes = 32ULL << 20;

    explicit LuksCommandLines(std::string cryptsetup = "/usr/sbin/cryptsetup", std::string sbin = "/usr/sbin");

    // How long deriving a key slot's key takes, in milliseconds (cryptsetup's own choice
    // when 0). Slow derivation is what makes guessing a password expensive.
    void setIterationMilliseconds(unsigned milliseconds) { iterationMilliseconds_ = milliseconds; }

    std::vector<std::string> encrypt(const std::string& device, const std::string& header) const;
    std::vector<std::string> resume(const std::string& device, const std::string& header) const;
    // Recovers a reencryption whose cryptsetup died in the middle of a step (the password on
    // standard input opens the volume key the recovery needs).
    std::vector<std::string> repair(const std::string& device, const std::string& header) const;
    // The file system check and shrink that make room for a header in front of ext2/3/4.
    std::vector<std::string> checkBeforeShrink(const std::string& device) const;
    std::vector<std::string> shrink(const std::string& device, std::uint64_t deviceBytes) const;
    // Reads the existing password and then the new key, one per line, from standard input.
    std::vector<std::string> addKey(const std::string& device, const std::string& header) const;
    // Any key slot when `keySlot` is negative.
    std::vector<std::string> testKey(const std::string& device, const std::string& header, int keySlot) const;
    std::vector<std::string> dump(const std::string& device, const std::string& header) const;
    // `type` is "luks" or "bitlk".
    std::vector<std::string> open(const std::string& type, const std::string& device, const std::string& header,
                                  const std::string& mapName, bool readOnly) const;
    std::vector<std::string> close(const std::string& mapName) const;

private:
    std::vector<std::string> reencrypt(const std::string& header) const;

    void addIterationTime(std::vector<std::string>& words) const;

    std::string cryptsetup_;
    std::string sbin_;
    unsigned iterationMilliseconds_ = 0;
};

}  // namespace harbormind
