#include "daemon/linux/LuksCommandLines.h"

namespace harbormind {
namespace {

void addHeader(std::vector<std::string>& words, const std::string& header) {
    if (!header.empty()) {
        words.insert(words.end(), {"--header", header});
    }
}

}  // namespace

LuksCommandLines::LuksCommandLines(std::string cryptsetup, std::string sbin)
    : cryptsetup_(std::move(cryptsetup)), sbin_(std::move(sbin)) {}

std::vector<std::string> LuksCommandLines::reencrypt(const std::string& header) const {
    std::vector<std::string> words{cryptsetup_, "reencrypt", "--batch-mode", "--key-file", "-",
                                   "--progress-json", "--progress-frequency", "1"};
    addHeader(words, header);
    return words;
}

void LuksCommandLines::addIterationTime(std::vector<std::string>& words) const {
    if (iterationMilliseconds_ > 0) {
        words.insert(words.end(), {"--iter-time", std::to_string(iterationMilliseconds_)});
    }
}

std::vector<std::string> LuksCommandLines::encrypt(const std::string& device, const std::string& header) const {
    std::vector<std::string> words = reencrypt(header);
    addIterationTime(words);
    words.insert(words.begin() + 2, {"--encrypt", "--type", "luks2"});
    if (header.empty()) {
        words.insert(words.end(), {"--reduce-device-size", std::to_string(reducedBytes >> 20) + "M"});
    } else {
        // A small keyslot area keeps the detached file small enough to hand to the owner.
        words.insert(words.end(), {"--luks2-keyslots-size", "2M"});
    }
    words.push_back(device);
    return words;
}

std::vector<std::string> LuksCommandLines::resume(const std::string& device, const std::string& header) const {
    std::vector<std::string> words = reencrypt(header);
    words.insert(words.begin() + 2, "--resume-only");
    words.push_back(device);
    return words;
}

std::vector<std::string> LuksCommandLines::repair(const std::string& device, const std::string& header) const {
    std::vector<std::string> words{cryptsetup_, "repair", "--batch-mode", "--key-file", "-"};
    addHeader(words, header);
    words.push_back(device);
    return words;
}

std::vector<std::string> LuksCommandLines::checkBeforeShrink(const std::string& device) const {
    return {sbin_ + "/e2fsck", "-f", "-p", device};
}

std::vector<std::string> LuksCommandLines::shrink(const std::string& device, std::uint64_t deviceBytes) const {
    std::uint64_t kib = (deviceBytes - reducedBytes) / 1024;
    return {sbin_ + "/resize2fs", device, std::to_string(kib) + "K"};
}

std::vector<std::string> LuksCommandLines::addKey(const std::string& device, const std::string& header) const {
    std::vector<std::string> words{cryptsetup_, "luksAddKey", "--batch-mode"};
    addHeader(words, header);
    addIterationTime(words);
    words.push_back(device);
    return words;
}

std::vector<std::string> LuksCommandLines::testKey(const std::string& device, const std::string& header,
                                                   int keySlot) const {
    std::vector<std::string> words{cryptsetup_, "open", "--test-passphrase", "--key-file", "-"};
    if (keySlot >= 0) {
        words.insert(words.end(), {"--key-slot", std::to_string(keySlot)});
    }
    addHeader(words, header);
    words.push_back(device);
    return words;
}

std::vector<std::string> LuksCommandLines::dump(const std::string& device, const std::string& header) const {
    std::vector<std::string> words{cryptsetup_, "luksDump"};
    addHeader(words, header);
    words.push_back(device);
    return words;
}

std::vector<std::string> LuksCommandLines::open(const std::string& type, const std::string& device,
                                                const std::string& header, const std::string& mapName,
                                                bool readOnly) const {
    std::vector<std::string> words{cryptsetup_, "open", "--type", type, "--key-file", "-"};
    addHeader(words, header);
    if (readOnly) {
        words.push_back("--readonly");
    }
    words.insert(words.end(), {device, mapName});
    return words;
}

std::vector<std::string> LuksCommandLines::close(const std::string& mapName) const {
    return {cryptsetup_, "close", mapName};
}

}  // namespace harbormind
