#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/TreeBlockSource.h"

namespace harbormind {

// What kind of file system object an entry is, from its own attributes (never a link's target).
enum class EntryKind : std::uint8_t {
    Unknown,
    Regular,
    Directory,
    SymbolicLink,
    BlockDevice,
    CharacterDevice,
    Pipe,
    Socket,
};

// The attributes of one entry, looked up without following a symbolic link.
struct EntryStat {
    EntryKind kind = EntryKind::Unknown;
    std::int64_t size = 0;       // apparent size in bytes (the file length)
    std::int64_t allocated = 0;  // what it takes on disk: its allocated blocks, in bytes
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t mountId = 0;  // the mount the object belongs to (0 when not known)
    std::uint32_t owner = 0;    // the owning user's id
    std::int64_t modifiedSeconds = 0;  // last modification, in seconds since 1970 (UTC)
};

// One entry of a folder listing. The name lives in the listing's name buffer.
struct ListedEntry {
    std::uint32_t nameOffset = 0;
    std::uint32_t nameLength = 0;
    // The type code of the directory entry as the file system returned it (4 is a directory,
    // 0 means the file system did not say).
    std::uint8_t typeCode = 0;
    bool looked = false;  // false when the entry could not be looked up (stat is then empty)
    EntryStat stat;
};

// A whole folder listing, reused from folder to folder so listing allocates nothing once warm.
class DirectoryListing {
public:
    std::vector<ListedEntry> entries;
    std::string names;
    // When false, an entry whose type code says it is a folder is listed without a lookup
    // (`looked` false): for a caller that looks a folder up through its handle once it opens it,
    // which saves a lookup by name per folder.
    bool lookUpFolders = true;

    std::string_view name(const ListedEntry& entry) const {
        return std::string_view(names).substr(entry.nameOffset, entry.nameLength);
    }
    void clear() {
        entries.clear();
        names.clear();
    }
};

// Walks and removes folder trees through open folder handles, so a walk stays inside the
// folders it opened even when paths change under it: children are opened and removed relative
// to their folder's handle and symbolic links are never followed below the starting path.
// A scan calls one walker from several threads at once, so an implementation keeps no state
// between calls that those threads could share.
class DirectoryWalker {
public:
    using Handle = int;
    static constexpr Handle invalidHandle = -1;

    virtual ~DirectoryWalker() = default;

    // Opens a folder by path (a link in the path, the last part included, is followed).
    virtual Handle openFolder(const std::string& path) = 0;
    // Opens the folder `name` inside `parent`; fails on anything but a real folder (never a link).
    virtual Handle openChildFolder(Handle parent, std::string_view name) = 0;
    virtual void close(Handle handle) = 0;

    // The attributes of an open folder.
    virtual std::optional<EntryStat> statHandle(Handle handle) = 0;
    // The attributes of `name` inside `parent`, without following a link.
    virtual std::optional<EntryStat> statChild(Handle parent, std::string_view name) = 0;
    // The attributes of a path, without following a link in its last part.
    virtual std::optional<EntryStat> statPath(const std::string& path) = 0;

    // Lists every entry of a folder handle not read before (skipping empty names, "." and ".."),
    // in the order the file system returns them, each looked up without following links (folders
    // too, unless the listing says otherwise). False when the folder cannot be read; `out` then
    // holds what was read before the failure.
    virtual bool list(Handle folder, DirectoryListing& out) = 0;

    // Removes the entry `name` inside `parent`: a folder (which must be empty) when `kind` is
    // Directory, otherwise the entry itself (a link is removed, never its target). Answers 0 or
    // the platform's error number.
    virtual int removeChild(Handle parent, std::string_view name, EntryKind kind) = 0;

    // Memory for the trees built from walks.
    virtual TreeBlockSource treeBlocks() const { return TreeBlockSource::heap(); }
};

}  // namespace harbormind
