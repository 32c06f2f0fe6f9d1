#pragma once
// The process-wide cache of vertex buffers by geometry id, so that models whose first geometry has
// the same id (every die, every tile) share one buffer. Created on first use, never emptied.
#include <cstdint>
#include <string>
#include <unordered_map>

namespace libkub {

struct MeshCacheRecord {
    unsigned vertexBuffer = 0;
    std::string key;
    std::uint32_t vertexCount = 0;
};

class MeshCache {
  public:
    // The one cache of the process.
    static MeshCache& instance();

    // The record stored under the key, or null.
    const MeshCacheRecord* find(const std::string& key) const;
    // Stores a record under the key (replacing none: the first record for a key stays).
    const MeshCacheRecord& store(const std::string& key, unsigned vertexBuffer, std::uint32_t vertexCount);

  private:
    MeshCache() = default;
    std::unordered_map<std::string, MeshCacheRecord> records_; // nodes never move: references stay valid
};

} // namespace libkub
