#pragma once
// Vertex data written anew for every pass (the instances of the batches, the columns' boxes): each
// write gives the buffer fresh storage first (orphaning), so that it never waits for a draw still
// reading the old contents; the driver frees the old storage once those draws are done.
#include <cstddef>

namespace libkub {

// Puts `bytes` bytes into the array buffer (making one when `buffer` is 0), which stays bound.
void streamIntoBuffer(unsigned& buffer, const void* data, std::size_t bytes);

} // namespace libkub
