#include "engine/resources/MeshCache.h"

namespace libkub {

MeshCache& MeshCache::instance()
{
    static MeshCache cache;
    return cache;
}

const MeshCacheRecord* MeshCache::find(const std::string& key) const
{
    const auto found = records_.find(key);
    return found == records_.end() ? nullptr : &found->second;
}

const MeshCacheRecord& MeshCache::store(const std::string& key, unsigned vertexBuffer,
                                        std::uint32_t vertexCount)
{
    return records_.try_emplace(key, MeshCacheRecord{vertexBuffer, key, vertexCount}).first->second;
}

} // namespace libkub
