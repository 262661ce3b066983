/// Large blocks of memory backed by huge pages where the system offers them.
#include "base/LargePages.h"

#include <cstdint>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace zenkel {

#if defined(__linux__) && defined(MADV_HUGEPAGE) && defined(MREMAP_MAYMOVE)

void adviseHugePages(void* data, std::size_t size)
{
    constexpr std::uintptr_t Step = std::uintptr_t {2} << 20;
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t begin = (start + Step - 1) & ~(Step - 1);
    const std::uintptr_t end = (start + size) & ~(Step - 1);
    if (end > begin)
        (void)::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

void* allocateLargeBlock(std::size_t size)
{
    void* block = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        return nullptr;
    // The whole mapping, so that it stays one piece that mremap can grow.
    (void)::madvise(block, size, MADV_HUGEPAGE);
    return block;
}

void* growLargeBlock(void* block, std::size_t oldSize, std::size_t newSize)
{
    void* grown = ::mremap(block, oldSize, newSize, MREMAP_MAYMOVE);
    return grown == MAP_FAILED ? nullptr : grown;
}

void freeLargeBlock(void* block, std::size_t size)
{
    if (block)
        (void)::munmap(block, size);
}

#else

void adviseHugePages(void*, std::size_t) { }

void* allocateLargeBlock(std::size_t size)
{
    return std::malloc(size);
}

void* growLargeBlock(void* block, std::size_t, std::size_t newSize)
{
    return std::realloc(block, newSize);
}

void freeLargeBlock(void* block, std::size_t)
{
    std::free(block);
}

#endif

} // namespace zenkel
