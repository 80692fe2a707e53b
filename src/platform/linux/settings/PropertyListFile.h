#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/PlatformValue.h"

namespace harbormind {

// A property-list file whose top level is a dictionary, read whole into memory and written
// back whole as XML. Entries of types a PlatformValue cannot hold (dates, UIDs) are kept as
// they are when the file is written back.
class PropertyListFile {
public:
    enum class Status {
        Missing,     // no file: an empty dictionary
        Loaded,      // read and understood (an empty file counts as an empty dictionary)
        Damaged,     // read but not a property list with a dictionary on top: an empty dictionary
        Unreadable,  // could not be read (permissions, I/O): an empty dictionary, never to be replaced
    };

    // Files larger than this are not settings; they are treated as damaged.
    static constexpr std::size_t maximumSize = 8 * 1024 * 1024;

    explicit PropertyListFile(std::string path);
    ~PropertyListFile();
    PropertyListFile(const PropertyListFile&) = delete;
    PropertyListFile& operator=(const PropertyListFile&) = delete;

    Status load();
    const std::string& path() const { return path_; }
    // The bytes read by the last load(), to keep a copy of a damaged file.
    const std::string& rawContents() const { return raw_; }

    std::optional<PlatformValue> value(const std::string& key) const;
    void setValue(const std::string& key, const PlatformValue& value);
    // False when there was no such key.
    bool removeValue(const std::string& key);
    std::vector<std::string> keys() const;

    // The dictionary as an XML property list.
    std::string xml() const;
    // Writes the dictionary whole (temporary file, fsync, rename) with mode 0600.
    bool save() const;

private:
    void reset();

    std::string path_;
    std::string raw_;
    void* root_ = nullptr;  // plist_t, a dictionary
};

}  // namespace harbormind
