#include "platform/TreeBlockSource.h"

#include <cstdlib>

namespace harbormind {

namespace {

void* takeFromHeap(std::size_t size, bool /*largePages*/) {
    return std::aligned_alloc(size, size);
}

void giveBackToHeap(void* block, std::size_t /*size*/) {
    std::free(block);
}

}  // namespace

TreeBlockSource TreeBlockSource::heap() {
    return {&takeFromHeap, &giveBackToHeap};
}

}  // namespace harbormind
