#pragma once

#include <cstddef>

namespace harbormind {

// Where a tree of many small records gets its memory: blocks of `size` bytes (a power of two),
// aligned to their size, taken and given back whole. `largePages` asks for the platform's large
// pages, which spare a block that is about to be filled one page fault per small page; a
// platform without them ignores it. The functions keep no state, so blocks can be given back
// after whatever handed out the source is gone.
struct TreeBlockSource {
    void* (*take)(std::size_t size, bool largePages);  // nullptr when there is no memory
    void (*giveBack)(void* block, std::size_t size);

    // Blocks from the C++ heap, without large pages.
    static TreeBlockSource heap();
};

}  // namespace harbormind
