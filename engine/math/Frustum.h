#pragma once
// Six clipping planes of a perspective view (the camera's, or a light's), and the classification of
// boxes against them.
#include <cstdint>

#include "engine/math/BoundingBox.h"
#include "engine/math/Vector3f.h"

namespace libkub {

struct Plane {
    Vector3f normal; // unit length, pointing into the frustum
    Vector3f point;
    float d = 0.0f; // -normal . point

    static Plane planeFromPoints(Vector3f a, Vector3f b, Vector3f c);
    float distance(Vector3f q) const { return dot(normal, q) + d; }
};

enum FrustumResult : std::int32_t { Outside = 0, Intersect = 1, Inside = 2 };

class Frustum {
  public:
    enum PlaneIndex { Top, Bottom, Left, Right, Near, Far };
    enum CornerIndex {
        NearTopLeft,
        NearTopRight,
        NearBottomLeft,
        NearBottomRight,
        FarTopLeft,
        FarTopRight,
        FarBottomLeft,
        FarBottomRight
    };

    void setLens(float fieldOfView, float aspect, float nearDistance, float farDistance);
    void setPose(Vector3f eye, Vector3f target, Vector3f up);
    FrustumResult classifyBox(const BoundingBox& box) const;
    // True when the box lies wholly outside one of the four side planes (near and far not consulted):
    // nothing of it can reach the picture however its depth is clipped or clamped.
    bool outsideSides(const BoundingBox& box) const;

    Plane planes[6];
    Vector3f corners[8];
    float nearDistance = 0.0f;
    float farDistance = 0.0f;
    float aspect = 0.0f;
    float fieldOfView = 0.0f;
    float tangent = 0.0f;
    float nearHalfWidth = 0.0f;
    float nearHalfHeight = 0.0f;
    float farHalfWidth = 0.0f;
    float farHalfHeight = 0.0f;
};

} // namespace libkub
