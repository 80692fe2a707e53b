#include "platform/linux/settings/PropertyListFile.h"

#include <fcntl.h>
#include <plist/plist.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/PropertyListDepth.h"
#include "platform/linux/files/WholeFileWriter.h"
#include "support/Log.h"

namespace harbormind {
namespace {

// The tree as it reads back from XML. The library's key getter aborts the process on a key that
// holds a NUL (a binary file or an XML character reference can carry one); the XML writer
// stops such a key at the NUL, so after the round trip every key reads safely.
plist_t withPlainKeys(plist_t tree) {
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(tree, &xml, &length);
    plist_t plain = nullptr;
    if (xml != nullptr) {
        plist_from_xml(xml, length, &plain);
        std::free(xml);
    }
    plist_free(tree);
    if (plain == nullptr || plist_get_node_type(plain) != PLIST_DICT) {
        plist_free(plain);
        return plist_new_dict();
    }
    return plain;
}


std::optional<PlatformValue> fromPlist(plist_t node) {
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        std::uint8_t flag = 0;
        plist_get_bool_val(node, &flag);
        return PlatformValue(flag != 0);
    }
    case PLIST_UINT: {
        // Property lists hold signed integers; libplist hands them out as their bit pattern.
        std::uint64_t number = 0;
        plist_get_uint_val(node, &number);
        return PlatformValue(static_cast<std::int64_t>(number));
    }
    case PLIST_REAL: {
        double number = 0;
        plist_get_real_val(node, &number);
        return PlatformValue(number);
    }
    case PLIST_STRING: {
        std::uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        return PlatformValue(text ? std::string(text, length) : std::string());
    }
    case PLIST_DATA: {
        std::uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        PlatformValue::Data data;
        if (bytes) {
            data.assign(reinterpret_cast<const std::uint8_t*>(bytes),
                        reinterpret_cast<const std::uint8_t*>(bytes) + length);
        }
        return PlatformValue(std::move(data));
    }
    case PLIST_ARRAY: {
        PlatformValue::Array array;
        std::uint32_t size = plist_array_get_size(node);
        for (std::uint32_t i = 0; i < size; ++i) {
            if (std::optional<PlatformValue> item = fromPlist(plist_array_get_item(node, i))) {
                array.push_back(std::move(*item));
            }
        }
        return PlatformValue(std::move(array));
    }
    case PLIST_DICT: {
        PlatformValue::Dictionary dictionary;
        plist_dict_iter iterator = nullptr;
        plist_dict_new_iter(node, &iterator);
        while (iterator) {
            char* key = nullptr;
            plist_t item = nullptr;
            plist_dict_next_item(node, iterator, &key, &item);
            if (!key) {
                break;
            }
            if (std::optional<PlatformValue> value = item ? fromPlist(item) : std::nullopt) {
                dictionary.emplace(key, std::move(*value));
            }
            std::free(key);
        }
        std::free(iterator);
        return PlatformValue(std::move(dictionary));
    }
    default:
        return std::nullopt;
    }
}

plist_t toPlist(const PlatformValue& value) {
    if (auto flag = value.asBool()) {
        return plist_new_bool(*flag ? 1 : 0);
    }
    if (auto number = value.asInteger()) {
        return plist_new_uint(static_cast<std::uint64_t>(*number));
    }
    if (auto number = value.asReal()) {
        return plist_new_real(*number);
    }
    if (auto text = value.asText()) {
        // libplist takes C strings; a text with a NUL inside keeps what precedes it.
        return plist_new_string(text->c_str());
    }
    if (auto data = value.asData()) {
        return plist_new_data(reinterpret_cast<const char*>(data->data()), data->size());
    }
    if (const PlatformValue::Array* array = value.asArray()) {
        plist_t node = plist_new_array();
        for (const PlatformValue& item : *array) {
            if (plist_t child = toPlist(item)) {
                plist_array_append_item(node, child);
            }
        }
        return node;
    }
    if (const PlatformValue::Dictionary* dictionary = value.asDictionary()) {
        plist_t node = plist_new_dict();
        for (const auto& [key, item] : *dictionary) {
            if (plist_t child = toPlist(item)) {
                plist_dict_set_item(node, key.c_str(), child);
            }
        }
        return node;
    }
    return nullptr;  // a null value has no property-list form
}

enum class ReadResult { Missing, Read, TooLarge, Failed };

ReadResult readFile(const std::string& path, std::string& contents, int& error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return error == ENOENT || error == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
    }
    ReadResult result = ReadResult::Read;
    char buffer[65536];
    for (;;) {
        ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            result = ReadResult::Failed;
            break;
        }
        if (count == 0) {
            break;
        }
        contents.append(buffer, static_cast<std::size_t>(count));
        if (contents.size() > PropertyListFile::maximumSize) {
            result = ReadResult::TooLarge;
            break;
        }
    }
    ::close(fd);
    return result;
}

}  // namespace

PropertyListFile::PropertyListFile(std::string path) : path_(std::move(path)), root_(plist_new_dict()) {}

PropertyListFile::~PropertyListFile() { plist_free(static_cast<plist_t>(root_)); }

void PropertyListFile::reset() {
    plist_free(static_cast<plist_t>(root_));
    root_ = plist_new_dict();
}

PropertyListFile::Status PropertyListFile::load() {
    reset();
    raw_.clear();
    int error = 0;
    switch (readFile(path_, raw_, error)) {
    case ReadResult::Missing:
        return Status::Missing;
    case ReadResult::Failed:
        Log::error("cannot read " + path_ + ": " + std::strerror(error));
        return Status::Unreadable;
    case ReadResult::TooLarge:
        Log::warning(path_ + " is too large for a settings file; it is read as empty");
        return Status::Damaged;
    case ReadResult::Read:
        break;
    }
    if (raw_.empty()) {
        return Status::Loaded;
    }
    if (!PropertyListDepth::isWithin(raw_)) {
        Log::warning(path_ + " nests deeper than any settings file; it is read as empty");
        return Status::Damaged;
    }
    plist_t parsed = nullptr;
    plist_from_memory(raw_.data(), static_cast<std::uint32_t>(raw_.size()), &parsed);
    if (!parsed || plist_get_node_type(parsed) != PLIST_DICT) {
        plist_free(parsed);
        Log::warning(path_ + " is not a property list with a dictionary; it is read as empty");
        return Status::Damaged;
    }
    plist_free(static_cast<plist_t>(root_));
    root_ = withPlainKeys(parsed);
    return Status::Loaded;
}

std::optional<PlatformValue> PropertyListFile::value(const std::string& key) const {
    plist_t item = plist_dict_get_item(static_cast<plist_t>(root_), key.c_str());
    return item ? fromPlist(item) : std::nullopt;
}

void PropertyListFile::setValue(const std::string& key, const PlatformValue& value) {
    if (plist_t node = toPlist(value)) {
        plist_dict_set_item(static_cast<plist_t>(root_), key.c_str(), node);
    } else {
        removeValue(key);
    }
}

bool PropertyListFile::removeValue(const std::string& key) {
    if (!plist_dict_get_item(static_cast<plist_t>(root_), key.c_str())) {
        return false;
    }
    plist_dict_remove_item(static_cast<plist_t>(root_), key.c_str());
    return true;
}

std::vector<std::string> PropertyListFile::keys() const {
    std::vector<std::string> result;
    plist_t root = static_cast<plist_t>(root_);
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(root, &iterator);
    while (iterator) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(root, iterator, &key, &item);
        if (!key) {
            break;
        }
        result.emplace_back(key);
        std::free(key);
    }
    std::free(iterator);
    return result;
}

std::string PropertyListFile::xml() const {
    char* text = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(static_cast<plist_t>(root_), &text, &length);
    std::string result = text ? std::string(text, length) : std::string();
    plist_to_xml_free(text);
    return result;
}

bool PropertyListFile::save() const {
    std::string contents = xml();
    if (contents.empty()) {
        return false;
    }
    return WholeFileWriter::write(path_, contents, 0600);
}

}  // namespace harbormind
