#include "platform/linux/files/LinuxTreeBlocks.h"

#include <sys/mman.h>

#include <cstdint>

namespace harbormind {

TreeBlockSource LinuxTreeBlocks::source() {
    return {&LinuxTreeBlocks::take, &LinuxTreeBlocks::giveBack};
}

void* LinuxTreeBlocks::take(std::size_t size, bool largePages) {
    if (size == 0 || (size & (size - 1)) != 0) {
        return nullptr;
    }
    // Twice the size is mapped so that an aligned block lies inside; the rest is unmapped.
    void* mapped = ::mmap(nullptr, 2 * size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        return nullptr;
    }
    auto begin = reinterpret_cast<std::uintptr_t>(mapped);
    std::uintptr_t block = (begin + size - 1) & ~(std::uintptr_t{size} - 1);
    if (block > begin) {
        ::munmap(mapped, block - begin);
    }
    if (std::uintptr_t end = begin + 2 * size; end > block + size) {
        ::munmap(reinterpret_cast<void*>(block + size), end - (block + size));
    }
    if (largePages) {
        // Advice only: without huge pages the block works the same on small ones.
        ::madvise(reinterpret_cast<void*>(block), size, MADV_HUGEPAGE);
    }
    return reinterpret_cast<void*>(block);
}

void LinuxTreeBlocks::giveBack(void* block, std::size_t size) {
    if (block != nullptr) {
        ::munmap(block, size);
    }
}

}  // namespace harbormind
