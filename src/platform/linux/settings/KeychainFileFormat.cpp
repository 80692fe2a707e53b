#include "platform/linux/settings/KeychainFileFormat.h"

#include <sodium.h>

#include <cstring>
#include <string>

#include "platform/KeychainStatus.h"

namespace harbormind {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr char magic[8] = {'H', 'M', 'K', 'E', 'Y', 'C', 'H', '1'};
constexpr std::uint32_t version = 1;
constexpr std::size_t nonceSize = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
constexpr std::size_t headerSize = sizeof(magic) + 4 + 8 + 8 + 16;
constexpr std::size_t clearSize = headerSize + nonceSize;

void putInteger(Bytes& out, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

void putBytes(Bytes& out, const std::uint8_t* data, std::size_t size) {
    putInteger(out, size, 4);
    out.insert(out.end(), data, data + size);
}

void putText(Bytes& out, const std::string& text) {
    putBytes(out, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

// Reads from a buffer, refusing to run past its end.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::optional<std::uint64_t> integer(int width) {
        if (size_ - offset_ < static_cast<std::size_t>(width)) {
            return std::nullopt;
        }
        std::uint64_t value = 0;
        for (int i = 0; i < width; ++i) {
            value |= std::uint64_t{data_[offset_ + static_cast<std::size_t>(i)]} << (8 * i);
        }
        offset_ += static_cast<std::size_t>(width);
        return value;
    }

    std::optional<Bytes> bytes() {
        auto size = integer(4);
        if (!size || size_ - offset_ < *size) {
            return std::nullopt;
        }
        Bytes value(data_ + offset_, data_ + offset_ + *size);
        offset_ += *size;
        return value;
    }

    std::optional<std::string> text() {
        auto value = bytes();
        if (!value) {
            return std::nullopt;
        }
        return std::string(value->begin(), value->end());
    }

    bool atEnd() const { return offset_ == size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
};

std::optional<std::vector<KeychainItem>> decodeItems(const Bytes& plain) {
    Reader reader(plain.data(), plain.size());
    auto count = reader.integer(4);
    if (!count) {
        return std::nullopt;
    }
    std::vector<KeychainItem> items;
    for (std::uint64_t i = 0; i < *count; ++i) {
        KeychainItem item;
        auto account = reader.text();
        auto data = reader.bytes();
        auto accessibility = reader.text();
        auto hasGroup = reader.integer(1);
        if (!account || !data || !accessibility || !hasGroup || *hasGroup > 1) {
            return std::nullopt;
        }
        if (*hasGroup == 1) {
            auto group = reader.text();
            if (!group) {
                return std::nullopt;
            }
            item.accessGroup = *group;
        }
        auto synchronizable = reader.integer(1);
        if (!synchronizable || *synchronizable > 1) {
            return std::nullopt;
        }
        item.account = std::move(*account);
        item.data = std::move(*data);
        item.accessibility = std::move(*accessibility);
        item.synchronizable = *synchronizable == 1;
        items.push_back(std::move(item));
    }
    if (!reader.atEnd()) {
        return std::nullopt;
    }
    return items;
}

}  // namespace

std::optional<KeychainFileHeader> KeychainFileFormat::readHeader(const Bytes& file) {
    if (file.size() < clearSize + crypto_aead_xchacha20poly1305_ietf_ABYTES ||
        std::memcmp(file.data(), magic, sizeof(magic)) != 0) {
        return std::nullopt;
    }
    Reader reader(file.data() + sizeof(magic), headerSize - sizeof(magic));
    KeychainFileHeader header;
    if (reader.integer(4) != version) {
        return std::nullopt;
    }
    header.opsLimit = *reader.integer(8);
    header.memLimit = *reader.integer(8);
    std::memcpy(header.salt.data(), file.data() + headerSize - header.salt.size(), header.salt.size());
    // A damaged or hostile header must not make the derivation run for hours or take all memory.
    if (header.opsLimit < crypto_pwhash_OPSLIMIT_MIN || header.opsLimit > crypto_pwhash_OPSLIMIT_SENSITIVE ||
        header.memLimit < crypto_pwhash_MEMLIMIT_MIN || header.memLimit > crypto_pwhash_MEMLIMIT_SENSITIVE) {
        return std::nullopt;
    }
    return header;
}

std::int32_t KeychainFileFormat::open(const Bytes& file, const std::uint8_t* key, std::vector<KeychainItem>& items) {
    if (!readHeader(file)) {
        return KeychainStatus::decodeFailed;
    }
    Bytes plain(file.size() - clearSize - crypto_aead_xchacha20poly1305_ietf_ABYTES);
    unsigned long long plainSize = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(plain.data(), &plainSize, nullptr, file.data() + clearSize,
                                                   file.size() - clearSize, file.data(), clearSize,
                                                   file.data() + headerSize, key) != 0) {
        return KeychainStatus::authFailed;
    }
    plain.resize(plainSize);
    auto decoded = decodeItems(plain);
    sodium_memzero(plain.data(), plain.size());
    if (!decoded) {
        return KeychainStatus::decodeFailed;
    }
    items = std::move(*decoded);
    return KeychainStatus::success;
}

Bytes KeychainFileFormat::seal(const KeychainFileHeader& header, const std::uint8_t* key,
                               const std::vector<KeychainItem>& items) {
    Bytes plain;
    putInteger(plain, items.size(), 4);
    for (const KeychainItem& item : items) {
        putText(plain, item.account);
        putBytes(plain, item.data.data(), item.data.size());
        putText(plain, item.accessibility);
        putInteger(plain, item.accessGroup ? 1 : 0, 1);
        if (item.accessGroup) {
            putText(plain, *item.accessGroup);
        }
        putInteger(plain, item.synchronizable ? 1 : 0, 1);
    }
    Bytes file(magic, magic + sizeof(magic));
    putInteger(file, version, 4);
    putInteger(file, header.opsLimit, 8);
    putInteger(file, header.memLimit, 8);
    file.insert(file.end(), header.salt.begin(), header.salt.end());
    Bytes nonce(nonceSize);
    randombytes_buf(nonce.data(), nonce.size());
    file.insert(file.end(), nonce.begin(), nonce.end());
    std::size_t clear = file.size();
    file.resize(clear + plain.size() + crypto_aead_xchacha20poly1305_ietf_ABYTES);
    unsigned long long sealedSize = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(file.data() + clear, &sealedSize, plain.data(), plain.size(),
                                               file.data(), clear, nullptr, nonce.data(), key);
    file.resize(clear + sealedSize);
    sodium_memzero(plain.data(), plain.size());
    return file;
}

}  // namespace harbormind
