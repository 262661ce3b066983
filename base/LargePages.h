/// Large blocks of memory backed by huge pages where the system offers them.
#pragma once

#include <cstddef>

namespace zenkel {

/// Asks the system to back the block at data with huge pages (2 MB). A block that is filled
/// once, as a page's text is, then costs one page fault per 2 MB instead of one per 4 KB,
/// which on a whole run is a large share of the time. Only the whole 2 MB steps inside the
/// block are advised, so a block under 4 MB is left as it is. For a block that is never
/// grown: a block in several advised parts can no longer be grown without a copy.
void adviseHugePages(void* data, std::size_t size);

/// A block that may grow to many megabytes, taken from the system directly: advised for huge
/// pages as a whole and grown by remapping its pages, with no copy. Null when there is no
/// memory (growLargeBlock then leaves the block as it was). Elsewhere than on Linux these are
/// malloc, realloc and free.
void* allocateLargeBlock(std::size_t size);
void* growLargeBlock(void* block, std::size_t oldSize, std::size_t newSize);
void freeLargeBlock(void* block, std::size_t size);

} // namespace zenkel
