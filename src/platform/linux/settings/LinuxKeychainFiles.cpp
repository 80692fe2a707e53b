#include "platform/linux/settings/LinuxKeychainFiles.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/KeychainStatus.h"
#include "platform/linux/files/WholeFileReader.h"
#include "platform/linux/files/WholeFileWriter.h"
#include "platform/linux/settings/FolderLock.h"
#include "platform/linux/settings/KeychainFileFormat.h"
#include "support/Log.h"

namespace harbormind {

using Bytes = std::vector<std::uint8_t>;

KeychainKdfLimits KeychainKdfLimits::interactive() {
    return {crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE};
}

KeychainKdfLimits KeychainKdfLimits::minimal() {
    return {crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN};
}

// What the process knows about one keychain file: whether it is unlocked and, while it is,
// the derived key and the salt the key belongs to.
struct LinuxKeychainFiles::FileState {
    std::mutex mutex;
    bool unlocked = false;
    std::array<std::uint8_t, crypto_aead_xchacha20poly1305_ietf_KEYBYTES> key{};
    KeychainFileHeader header;

    void remember(const std::array<std::uint8_t, crypto_aead_xchacha20poly1305_ietf_KEYBYTES>& openedWith,
                  const KeychainFileHeader& sealedWith) {
        key = openedWith;
        header = sealedWith;
        unlocked = true;
    }
    void forget() {
        sodium_memzero(key.data(), key.size());
        unlocked = false;
    }
    ~FileState() { sodium_memzero(key.data(), key.size()); }
};

namespace {

std::string folderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

constexpr std::size_t maximumFileSize = 16 * 1024 * 1024;

std::optional<Bytes> readWholeFile(const std::string& path, std::int32_t& status) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        status = errno == ENOENT ? KeychainStatus::noSuchKeychain : KeychainStatus::ioError;
        return std::nullopt;
    }
    FileReadResult read = WholeFileReader::readAll(fd, maximumFileSize);
    ::close(fd);
    if (read.status != FileReadStatus::Read) {
        status = read.status == FileReadStatus::TooLarge ? KeychainStatus::decodeFailed
                                                          : KeychainStatus::ioError;
        return std::nullopt;
    }
    status = KeychainStatus::success;
    return Bytes(read.bytes.begin(), read.bytes.end());
}

enum class Replace { Allowed, Never };

// Writes the whole file beside its final place, flushes it and renames it over.
std::int32_t writeWholeFile(const std::string& path, const Bytes& bytes, Replace replace) {
    std::string temporary = path + ".XXXXXX";
    std::vector<char> name(temporary.begin(), temporary.end());
    name.push_back('\0');
    int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        return KeychainStatus::ioError;
    }
    bool written = ::fchmod(fd, 0600) == 0;
    std::size_t offset = 0;
    while (written && offset < bytes.size()) {
        ssize_t count = ::write(fd, bytes.data() + offset, bytes.size() - offset);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            written = false;
            break;
        }
        offset += static_cast<std::size_t>(count);
    }
    written = written && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    std::int32_t status = KeychainStatus::success;
    if (!written) {
        status = KeychainStatus::ioError;
    } else if (replace == Replace::Allowed) {
        if (::rename(name.data(), path.c_str()) != 0) {
            status = KeychainStatus::ioError;
        }
    } else if (::link(name.data(), path.c_str()) != 0) {
        status = errno == EEXIST ? KeychainStatus::duplicateKeychain : KeychainStatus::ioError;
    }
    ::unlink(name.data());
    if (status == KeychainStatus::success) {
        int folder = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
    }
    return status;
}

bool deriveKey(const std::string& password, const KeychainFileHeader& header, std::uint8_t* key, std::size_t keySize) {
    return crypto_pwhash(key, keySize, password.data(), password.size(), header.salt.data(), header.opsLimit,
                         static_cast<std::size_t>(header.memLimit), crypto_pwhash_ALG_ARGON2ID13) == 0;
}

class LinuxKeychainFile final : public KeychainFile {
public:
    LinuxKeychainFile(std::string path, std::shared_ptr<LinuxKeychainFiles::FileState> state, KeychainKdfLimits limits)
        : path_(std::move(path)), state_(std::move(state)), limits_(limits) {}

    const std::string& path() const override { return path_; }

    std::int32_t status() override {
        struct stat info {};
        if (::lstat(path_.c_str(), &info) != 0) {
            return errno == ENOENT ? KeychainStatus::noSuchKeychain : KeychainStatus::ioError;
        }
        return S_ISREG(info.st_mode) ? KeychainStatus::success : KeychainStatus::invalidKeychain;
    }

    std::int32_t create(const std::string& password) override {
        std::lock_guard lock(state_->mutex);
        FolderLock folderLock(folderOf(path_), FolderLock::Mode::Exclusive);
        if (status() != KeychainStatus::noSuchKeychain) {
            return KeychainStatus::duplicateKeychain;
        }
        KeychainFileHeader header;
        header.opsLimit = limits_.opsLimit;
        header.memLimit = limits_.memLimit;
        randombytes_buf(header.salt.data(), header.salt.size());
        std::array<std::uint8_t, crypto_aead_xchacha20poly1305_ietf_KEYBYTES> key{};
        if (!deriveKey(password, header, key.data(), key.size())) {
            return KeychainStatus::notAvailable;
        }
        Bytes sealed = KeychainFileFormat::seal(header, key.data(), {});
        std::int32_t result = writeWholeFile(path_, sealed, Replace::Never);
        if (result == KeychainStatus::success) {
            state_->remember(key, header);
        }
        sodium_memzero(key.data(), key.size());
        return result;
    }

    std::int32_t unlock(const std::string& password) override {
        std::lock_guard lock(state_->mutex);
        FolderLock folderLock(folderOf(path_), FolderLock::Mode::Shared);
        Bytes bytes;
        KeychainFileHeader header;
        std::int32_t result = readSealed(bytes, header);
        if (result != KeychainStatus::success) {
            return result;
        }
        std::array<std::uint8_t, crypto_aead_xchacha20poly1305_ietf_KEYBYTES> key{};
        if (!deriveKey(password, header, key.data(), key.size())) {
            return KeychainStatus::notAvailable;
        }
        std::vector<KeychainItem> items;
        result = KeychainFileFormat::open(bytes, key.data(), items);
        if (result == KeychainStatus::success) {
            state_->remember(key, header);
        }
        sodium_memzero(key.data(), key.size());
        return result;
    }

    std::int32_t lock() override {
        std::lock_guard lock(state_->mutex);
        state_->forget();
        return KeychainStatus::success;
    }

    bool isUnlocked() override {
        std::lock_guard lock(state_->mutex);
        return state_->unlocked;
    }

    std::int32_t add(const KeychainItem& item) override {
        return change([&item](std::vector<KeychainItem>& items) {
            for (const KeychainItem& existing : items) {
                if (existing.account == item.account && existing.accessGroup == item.accessGroup &&
                    existing.synchronizable == item.synchronizable) {
                    return KeychainStatus::duplicateItem;
                }
            }
            items.push_back(item);
            return KeychainStatus::success;
        });
    }

    std::int32_t find(const KeychainQuery& query, std::vector<KeychainItem>& found) override {
        found.clear();
        std::lock_guard lock(state_->mutex);
        FolderLock folderLock(folderOf(path_), FolderLock::Mode::Shared);
        std::vector<KeychainItem> items;
        std::int32_t result = readItems(items);
        if (result != KeychainStatus::success) {
            return result;
        }
        for (KeychainItem& item : items) {
            if (query.matches(item)) {
                found.push_back(std::move(item));
            }
        }
        return found.empty() ? KeychainStatus::itemNotFound : KeychainStatus::success;
    }

    std::int32_t remove(const KeychainQuery& query) override {
        return change([&query](std::vector<KeychainItem>& items) {
            auto before = items.size();
            std::erase_if(items, [&query](const KeychainItem& item) { return query.matches(item); });
            return items.size() == before ? KeychainStatus::itemNotFound : KeychainStatus::success;
        });
    }

private:
    // Reads the whole file and its header; a file whose header cannot be read is damaged.
    std::int32_t readSealed(Bytes& bytes, KeychainFileHeader& header) {
        std::int32_t result = KeychainStatus::success;
        std::optional<Bytes> read = readWholeFile(path_, result);
        if (!read) {
            return result;
        }
        std::optional<KeychainFileHeader> found = KeychainFileFormat::readHeader(*read);
        if (!found) {
            Log::warning("Keychain file " + path_ + " is damaged; it is left as it is");
            return KeychainStatus::decodeFailed;
        }
        bytes = std::move(*read);
        header = *found;
        return KeychainStatus::success;
    }

    // Reads the current items with the key of the unlocked file. Another process may have
    // rewritten the file since; a file sealed with another salt cannot be read with our key.
    std::int32_t readItems(std::vector<KeychainItem>& items) {
        if (!state_->unlocked) {
            return KeychainStatus::interactionNotAllowed;
        }
        Bytes bytes;
        KeychainFileHeader header;
        std::int32_t result = readSealed(bytes, header);
        if (result != KeychainStatus::success) {
            return result;
        }
        if (header.salt != state_->header.salt) {
            return KeychainStatus::invalidKeychain;
        }
        result = KeychainFileFormat::open(bytes, state_->key.data(), items);
        // The password opened this file before, so a failure now means damage.
        return result == KeychainStatus::authFailed ? KeychainStatus::decodeFailed : result;
    }

    template <typename Change>
    std::int32_t change(Change&& apply) {
        std::lock_guard lock(state_->mutex);
        FolderLock folderLock(folderOf(path_), FolderLock::Mode::Exclusive);
        std::vector<KeychainItem> items;
        std::int32_t result = readItems(items);
        if (result != KeychainStatus::success) {
            return result;
        }
        result = apply(items);
        if (result != KeychainStatus::success) {
            return result;
        }
        return writeWholeFile(path_, KeychainFileFormat::seal(state_->header, state_->key.data(), items),
                              Replace::Allowed);
    }

    std::string path_;
    std::shared_ptr<LinuxKeychainFiles::FileState> state_;
    KeychainKdfLimits limits_;
};

std::string randomPassword() {
    std::array<std::uint8_t, 24> bytes{};
    randombytes_buf(bytes.data(), bytes.size());
    std::array<char, sodium_base64_ENCODED_LEN(24, sodium_base64_VARIANT_URLSAFE_NO_PADDING)> text{};
    sodium_bin2base64(text.data(), text.size(), bytes.data(), bytes.size(), sodium_base64_VARIANT_URLSAFE_NO_PADDING);
    return text.data();
}

}  // namespace

LinuxKeychainFiles::LinuxKeychainFiles(std::string defaultKeychainPath, KeychainKdfLimits limits)
    : defaultKeychainPath_(std::move(defaultKeychainPath)), limits_(limits) {
    if (sodium_init() < 0) {
        Log::error("The cryptography library could not start; keychains cannot be used");
    }
}

LinuxKeychainFiles::~LinuxKeychainFiles() = default;

std::shared_ptr<LinuxKeychainFiles::FileState> LinuxKeychainFiles::stateFor(const std::string& path) {
    std::lock_guard lock(mutex_);
    std::shared_ptr<FileState>& state = states_[path];
    if (!state) {
        state = std::make_shared<FileState>();
    }
    return state;
}

std::shared_ptr<KeychainFile> LinuxKeychainFiles::open(const std::string& path) {
    return std::make_shared<LinuxKeychainFile>(path, stateFor(path), limits_);
}

std::shared_ptr<KeychainFile> LinuxKeychainFiles::defaultKeychain() {
    std::shared_ptr<KeychainFile> file = open(defaultKeychainPath_);
    if (file->isUnlocked()) {
        return file;
    }
    // The default keychain's password is a random secret in a file only the user can read;
    // the keychain is as private as that file.
    std::string folder = folderOf(defaultKeychainPath_);
    WholeFileWriter::makeFolders(folder, 0700);
    std::string secretPath = defaultKeychainPath_ + ".secret";
    std::int32_t status = KeychainStatus::success;
    std::optional<Bytes> secret = readWholeFile(secretPath, status);
    if (!secret && file->status() == KeychainStatus::noSuchKeychain) {
        std::string password = randomPassword();
        if (writeWholeFile(secretPath, Bytes(password.begin(), password.end()), Replace::Never) ==
            KeychainStatus::success) {
            file->create(password);
        }
        return file;
    }
    if (secret) {
        file->unlock(std::string(secret->begin(), secret->end()));
    }
    return file;
}

}  // namespace harbormind
