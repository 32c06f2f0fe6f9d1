#pragma once
// Large blocks in huge pages where the kernel offers them (transparent huge pages in "madvise" or
// "always" mode). A block of megabytes filled once otherwise costs a page fault for every 4 KB
// of it, and the faults, not the filling, are most of its cost; in 2 MB pages it costs a few.
#include <cstddef>

namespace libkub {

// Asks for huge pages for the whole 2 MB pages inside the block (smaller blocks are left alone).
// Call it before the block is first written; it changes nothing of what the block holds.
void adviseHugePages(const void* data, std::size_t bytes);

} // namespace libkub
