#pragma once

#include "platform/TreeBlockSource.h"

namespace harbormind {

// Tree blocks mapped straight from the kernel, each aligned to its size; a block asked for with
// large pages is advised for transparent huge pages, so filling a 2 MiB block costs one page
// fault instead of 512. Where huge pages are off or none is free, the kernel uses small pages.
class LinuxTreeBlocks {
public:
    static TreeBlockSource source();

private:
    static void* take(std::size_t size, bool largePages);
    static void giveBack(void* block, std::size_t size);
};

}  // namespace harbormind
