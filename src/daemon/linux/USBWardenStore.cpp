#include "daemon/linux/USBWardenStore.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "platform/linux/files/WholeFileReader.h"
#include "platform/linux/files/WholeFileWriter.h"
#include "support/Log.h"

namespace harbormind {
namespace {

constexpr std::size_t largestFile = 4096;

// The file's bytes when it is a plain file of root's alone; none otherwise.
std::optional<std::string> readRootFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat info {};
    std::optional<std::string> bytes;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
        (info.st_mode & (S_IWGRP | S_IWOTH)) == 0) {
        FileReadResult read = WholeFileReader::readAll(fd, largestFile);
        if (read.status == FileReadStatus::Read) {
            bytes = std::move(read.bytes);
        }
    }
    ::close(fd);
    return bytes;
}

Clock::Duration waitAfter(unsigned failures) {
    unsigned doublings = std::min(failures - 1, 16u);
    return std::min(seconds(double(1u << doublings)), USBWardenStore::longestWait);
}

}  // namespace

USBWardenStore::USBWardenStore(std::string folder) : folder_(std::move(folder)) {}

bool USBWardenStore::ensureFolder() const {
    struct stat info {};
    if (::lstat(folder_.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode);
    }
    return WholeFileWriter::makeFolders(folder_, 0755);
}

USBWardenState USBWardenStore::state() const {
    std::optional<std::string> text = readRootFile(statePath());
    USBWardenState state = text ? USBWardenState::parse(*text) : USBWardenState{};
    // What counts is whether the hash is there, whatever the state file says.
    std::optional<std::string> hash = readRootFile(passwordPath());
    state.passwordSet = hash && !hash->empty();
    return state;
}

bool USBWardenStore::writeState(const USBWardenState& state) {
    if (!ensureFolder() || !WholeFileWriter::write(statePath(), state.text(), 0644, CreateFolders::No)) {
        Log::warning("USB Warden: could not write " + statePath());
        return false;
    }
    return readRootFile(statePath()) == state.text();
}

USBWardenStore::CheckResult USBWardenStore::check(std::uint32_t caller, const std::string& password) {
    std::lock_guard lock(mutex_);
    Clock::TimePoint now = Clock::current().now();
    WrongTries& tries = wrongTries_[caller];
    if (tries.failures > 0 && now < tries.nextTry) {
        return {Check::Wait, tries.nextTry - now};
    }
    std::optional<std::string> hash = readRootFile(passwordPath());
    if (!hash || hash->empty()) {
        return {Check::NotSet, {}};
    }
    if (sodium_init() >= 0 && hash->size() < crypto_pwhash_STRBYTES &&
        crypto_pwhash_str_verify(hash->c_str(), password.data(), password.size()) == 0) {
        wrongTries_.erase(caller);
        return {Check::Correct, {}};
    }
    ++tries.failures;
    Clock::Duration wait = waitAfter(tries.failures);
    tries.nextTry = Clock::current().now() + wait;
    Log::warning("USB Warden: wrong password from uid " + std::to_string(caller) + " (" +
                 std::to_string(tries.failures) + " in a row); next try in " +
                 std::to_string(static_cast<long long>(toSeconds(wait))) + " s");
    return {Check::Incorrect, wait};
}

bool USBWardenStore::setPassword(const std::string& password) {
    std::lock_guard lock(mutex_);
    char hash[crypto_pwhash_STRBYTES] = {};
    if (sodium_init() < 0 ||
        crypto_pwhash_str(hash, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0) {
        Log::warning("USB Warden: the password could not be hashed");
        return false;
    }
    if (!ensureFolder() || !WholeFileWriter::write(passwordPath(), hash, 0600, CreateFolders::No)) {
        Log::warning("USB Warden: could not write " + passwordPath());
        return false;
    }
    wrongTries_.clear();
    USBWardenState current = state();
    return current.passwordSet && writeState(current);
}

}  // namespace harbormind
