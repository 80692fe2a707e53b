#include "network/NetworkDriveArchive.h"

#include <plist/plist.h>

#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/PropertyListDepth.h"

namespace harbormind {
namespace {

struct PlistFree {
    void operator()(plist_t node) const { plist_free(node); }
};
using Plist = std::unique_ptr<void, PlistFree>;

constexpr const char* drivesKey = "drives";
constexpr const char* keys[] = {"name", "scheme", "host", "userName", "dir"};

Plist parse(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > std::numeric_limits<std::uint32_t>::max()) {
        return nullptr;
    }
    // A list nested deeper than any saved drive is damaged; the parser would not survive it.
    if (!PropertyListDepth::isWithin(std::string_view(reinterpret_cast<const char*>(data), size))) {
        return nullptr;
    }
    plist_t root = nullptr;
    plist_from_memory(reinterpret_cast<const char*>(data), static_cast<std::uint32_t>(size), &root);
    return Plist(root);
}

std::optional<std::string> stringValue(plist_t dictionary, const char* key) {
    plist_t node = plist_dict_get_item(dictionary, key);
    if (!node || plist_get_node_type(node) != PLIST_STRING) {
        return std::nullopt;
    }
    // By pointer and length: the library's copying getter aborts the process on a string
    // that holds a NUL, which any damaged or hostile file can contain.
    std::uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    if (!text) {
        return std::nullopt;
    }
    return std::string(text, static_cast<std::size_t>(length));
}

std::optional<NetworkDriveRecord> decodeDrive(plist_t blob) {
    char* data = nullptr;
    std::uint64_t size = 0;
    plist_get_data_val(blob, &data, &size);
    if (!data) {
        return std::nullopt;
    }
    Plist drive = parse(reinterpret_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size));
    std::free(data);
    if (!drive || plist_get_node_type(drive.get()) != PLIST_DICT) {
        return std::nullopt;
    }
    std::optional<std::string> values[5];
    for (int i = 0; i < 5; ++i) {
        values[i] = stringValue(drive.get(), keys[i]);
        if (!values[i]) {
            return std::nullopt;
        }
    }
    return NetworkDriveRecord{*values[0], *values[1], *values[2], *values[3], *values[4]};
}

NetworkDriveArchive::Bytes take(char* buffer, std::uint32_t length) {
    NetworkDriveArchive::Bytes bytes;
    if (buffer) {
        bytes.assign(buffer, buffer + length);
        std::free(buffer);
    }
    return bytes;
}

}  // namespace

NetworkDriveArchive::Bytes NetworkDriveArchive::encode(const std::vector<NetworkDriveRecord>& drives) {
    Plist root(plist_new_dict());
    plist_t array = plist_new_array();
    for (const NetworkDriveRecord& record : drives) {
        Plist drive(plist_new_dict());
        const std::string* values[] = {&record.name, &record.scheme, &record.host, &record.userName, &record.dir};
        for (int i = 0; i < 5; ++i) {
            plist_dict_set_item(drive.get(), keys[i], plist_new_string(values[i]->c_str()));
        }
        char* buffer = nullptr;
        std::uint32_t length = 0;
        plist_to_bin(drive.get(), &buffer, &length);
        Bytes blob = take(buffer, length);
        plist_array_append_item(array, plist_new_data(reinterpret_cast<const char*>(blob.data()), blob.size()));
    }
    plist_dict_set_item(root.get(), drivesKey, array);
    char* buffer = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(root.get(), &buffer, &length);
    return take(buffer, length);
}

NetworkDriveArchive::Contents NetworkDriveArchive::decode(const Bytes& file) {
    Contents contents;
    Plist root = parse(file.data(), file.size());
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT) {
        contents.damaged = true;
        return contents;
    }
    plist_t array = plist_dict_get_item(root.get(), drivesKey);
    if (!array || plist_get_node_type(array) != PLIST_ARRAY) {
        contents.damaged = true;
        return contents;
    }
    std::uint32_t count = plist_array_get_size(array);
    for (std::uint32_t i = 0; i < count; ++i) {
        plist_t blob = plist_array_get_item(array, i);
        std::optional<NetworkDriveRecord> record;
        if (blob && plist_get_node_type(blob) == PLIST_DATA) {
            record = decodeDrive(blob);
        }
        if (record) {
            contents.drives.push_back(std::move(*record));
        } else {
            contents.damaged = true;
        }
    }
    return contents;
}

}  // namespace harbormind
