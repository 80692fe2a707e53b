#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cleaning/NodeCount.h"
#include "cleaning/NodeDevice.h"
#include "cleaning/NodeList.h"
#include "cleaning/NodeParent.h"
#include "platform/DirectoryWalker.h"

namespace harbormind {

// How a node's place on disk is found when it is deleted.
enum class NodeAnchor : std::uint8_t {
    // Inside its parent's folder: reached through the parent's handle, never through a link.
    None,
    // The top folder of a scan, by its path; deleting the tree may remove it.
    Top,
    // A junk place (a fixed folder of the category table) by its path; only its contents are
    // ever deleted, never the place itself.
    Place,
    // An entry shown under a category but living in a place: its folder is opened by path and
    // the entry itself is checked against what the scan saw before it is removed.
    Moved,
};

// Whether a change to the totals adds an entry or takes it away.
enum class TotalsChange { Add, Remove };

// One file or folder of a scanned tree. Nodes live in a FolderTreeStorage, which owns them and
// their names; `childs` and `parent` refer to nodes of the same storage. A node takes 24 bytes: its
// size, its inode, its parent as a 32-bit reference into the storage, and one word of flags and
// the place of its name. What only a folder needs (its children, counts and device) sits in a
// record stored in front of the folder's name; `childs`, `iFileCount`, `iFolderCount` and `device`
// take no room in the node and read and write that record. A file's device is its folder's (a file
// on another device than its folder, a file mounted over another, keeps its own in a table beside
// the nodes), and the rarely used stored path and date live in that table too.
class FolderTreeNode {
public:
    static constexpr int statusKept = 1;
    static constexpr int statusMarked = 0;
    static constexpr int statusMixed = -1;

    ~FolderTreeNode();
    FolderTreeNode(const FolderTreeNode&) = delete;
    FolderTreeNode& operator=(const FolderTreeNode&) = delete;

    std::int64_t iTotalSize = 0;
    // What the scan saw, so deletion removes only that object.
    std::uint64_t inode = 0;
    NodeParent parent;
    std::int8_t selectStatus : 2 = statusKept;
    bool isFolder : 1 = true;
    bool isLink : 1 = false;
    EntryKind kind : 3 = EntryKind::Unknown;  // Unknown: the entry could not be looked up

private:
    bool hasExtras_ : 1 = false;

public:
    NodeAnchor anchor : 2 = NodeAnchor::None;

private:
    bool hasRecord_ : 1 = false;
    // Where the node's record, or else its name, is stored in the node's block; 0: neither.
    std::uint32_t nameOffset_ : 21 = 0;

public:
    // Kept in the record: they take no room in the node itself.
    [[no_unique_address]] NodeList childs;
    [[no_unique_address]] NodeCount<NodeCountKind::Files> iFileCount;
    [[no_unique_address]] NodeCount<NodeCountKind::Folders> iFolderCount;
    [[no_unique_address]] NodeDevice device;

    std::string_view strFolderName() const;

    // The stored path of an anchored node, otherwise the path built from the ancestors.
    std::string fullpath() const;
    void setFullpath(std::string path);
    bool hasStoredFullpath() const;

    const std::string& ModificationDate() const;
    void setModificationDate(std::string date);

    // This node's name preceded, for every ancestor, by the ancestor's name and "/".
    std::string getFolderFullPath() const;

    // Adds (or removes) one folder or file and its size to the totals of every ancestor.
    void updateParent(bool folder, std::int64_t size, TotalsChange change);

    // Sets `status` on `node` and all its descendants.
    static void updateChildStatus(FolderTreeNode* node, int status);
    void updateChildStatus();

    // No children: the node's status; otherwise the children's common status, or mixed.
    static int getNodeSelectStatus(const FolderTreeNode* node);

    // Recomputes the status of `node` and each of its ancestors from their children.
    static void updateParentStatus(FolderTreeNode* node, int status);
    void updateParentStatus(int status);

    // Takes `child` out of `childs` (searching from the end, where deletion works).
    void removeChild(const FolderTreeNode* child);

private:
    friend class FolderTreeStorage;
    friend class NodeDevice;
    FolderTreeNode() = default;

    // The device kept for this node alone, if any (see the class comment).
    std::optional<std::uint64_t> ownDevice() const;
    void setOwnDevice(std::uint64_t ownDevice);
};

}  // namespace harbormind
