#include "engine/math/Frustum.h"

#include <cmath>
#include <initializer_list>

namespace libkub {

Plane Plane::planeFromPoints(Vector3f a, Vector3f b, Vector3f c)
{
    Plane plane;
    plane.normal = normalize(cross(c - b, a - b));
    plane.point = b;
    plane.d = -dot(plane.normal, b);
    return plane;
}

void Frustum::setLens(float verticalFieldOfView, float aspectRatio, float nearPlane, float farPlane)
{
    fieldOfView = verticalFieldOfView;
    aspect = aspectRatio;
    nearDistance = nearPlane;
    farDistance = farPlane;
    tangent = static_cast<float>(std::tan(verticalFieldOfView * 3.141592653589793 / 180.0 * 0.5));
    nearHalfHeight = nearDistance * tangent;
    nearHalfWidth = nearHalfHeight * aspect;
    farHalfHeight = farDistance * tangent;
    farHalfWidth = farHalfHeight * aspect;
}

void Frustum::setPose(Vector3f eye, Vector3f target, Vector3f up)
{
    const Vector3f zAxis = normalize(eye - target);
    const Vector3f xAxis = normalize(cross(up, zAxis));
    const Vector3f yAxis = cross(zAxis, xAxis);

    const Vector3f nearCentre = eye - zAxis * nearDistance;
    const Vector3f farCentre = eye - zAxis * farDistance;
    const Vector3f nearUp = yAxis * nearHalfHeight;
    const Vector3f nearRight = xAxis * nearHalfWidth;
    const Vector3f farUp = yAxis * farHalfHeight;
    const Vector3f farRight = xAxis * farHalfWidth;

    corners[NearTopLeft] = nearCentre + nearUp - nearRight;
    corners[NearTopRight] = nearCentre + nearUp + nearRight;
    corners[NearBottomLeft] = nearCentre - nearUp - nearRight;
    corners[NearBottomRight] = nearCentre - nearUp + nearRight;
    corners[FarTopLeft] = farCentre + farUp - farRight;
    corners[FarTopRight] = farCentre + farUp + farRight;
    corners[FarBottomLeft] = farCentre - farUp - farRight;
    corners[FarBottomRight] = farCentre - farUp + farRight;

    // Point orders chosen so that every normal points into the frustum.
    const Vector3f* c = corners;
    planes[Top] = Plane::planeFromPoints(c[NearTopRight], c[NearTopLeft], c[FarTopLeft]);
    planes[Bottom] = Plane::planeFromPoints(c[NearBottomLeft], c[NearBottomRight], c[FarBottomRight]);
    planes[Left] = Plane::planeFromPoints(c[NearTopLeft], c[NearBottomLeft], c[FarBottomLeft]);
    planes[Right] = Plane::planeFromPoints(c[NearBottomRight], c[NearTopRight], c[FarBottomRight]);
    planes[Near] = Plane::planeFromPoints(c[NearTopLeft], c[NearTopRight], c[NearBottomRight]);
    planes[Far] = Plane::planeFromPoints(c[FarTopRight], c[FarTopLeft], c[FarBottomLeft]);
}

namespace {

// The box corner furthest along the plane's normal: when even it is behind the plane, all is.
Vector3f furthestAlong(const Plane& plane, const BoundingBox& box)
{
    return {plane.normal.x >= 0.0f ? box.max.x : box.min.x, plane.normal.y >= 0.0f ? box.max.y : box.min.y,
            plane.normal.z >= 0.0f ? box.max.z : box.min.z};
}

} // namespace

bool Frustum::outsideSides(const BoundingBox& box) const
{
    for (const PlaneIndex side : {Top, Bottom, Left, Right}) {
        if (planes[side].distance(furthestAlong(planes[side], box)) < 0.0f) {
            return true;
        }
    }
    return false;
}

FrustumResult Frustum::classifyBox(const BoundingBox& box) const
{
    FrustumResult result = Inside;
    for (const Plane& plane : planes) {
        // The corner furthest along the normal decides "outside", the one furthest against it
        // "crossing": this holds for every orientation of the plane, so a box that reaches into
        // the view is never culled.
        const Vector3f furthestIn = furthestAlong(plane, box);
        const Vector3f furthestOut{plane.normal.x >= 0.0f ? box.min.x : box.max.x,
                                   plane.normal.y >= 0.0f ? box.min.y : box.max.y,
                                   plane.normal.z >= 0.0f ? box.min.z : box.max.z};
        if (plane.distance(furthestIn) < 0.0f) {
            return Outside;
        }
        if (plane.distance(furthestOut) < 0.0f) {
            result = Intersect;
        }
    }
    return result;
}

} // namespace libkub
