#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "cleaning/OpenFolder.h"

namespace harbormind {

class FolderTreeNode;

// The folders of one scan still waiting to be listed, shared by the threads of the scan. Taken
// last in, first out, so the walk goes deep first and few folder handles stay open at once.
class FolderWorkStack {
public:
    struct Item {
        FolderTreeNode* node = nullptr;
        std::shared_ptr<OpenFolder> parent;  // the folder `node` is opened in
    };

    void push(std::vector<Item>& items);
    // Hands over `found` (the sub-folders of the folder the caller was busy with, when
    // `wasBusy`), which ends that folder, and takes the next one, which the caller is then busy
    // with until its next call. Empty once nothing is waiting and no thread is busy, which is the
    // end of the walk. One lock per folder: the threads of a scan meet here for every folder.
    std::optional<Item> next(std::vector<Item>& found, bool wasBusy);

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Item> items_;
    int busy_ = 0;
};

}  // namespace harbormind
