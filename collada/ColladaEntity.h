#pragma once
// What every library entry of a COLLADA document has: an id (unique within the document once
// registered) and a name.
#include <string>

namespace libkub {

enum class EntityKind {
    Image,
    Effect,
    Material,
    Geometry,
};

struct ColladaEntity {
    explicit ColladaEntity(EntityKind kind) : kind(kind) {}
    virtual ~ColladaEntity() = default;
    ColladaEntity(const ColladaEntity&) = delete;
    ColladaEntity& operator=(const ColladaEntity&) = delete;

    EntityKind kind;
    std::string id;   // as registered in the document's id index ("unknown_object" when the file gave none)
    std::string name; // the name attribute, empty when absent
};

} // namespace libkub
