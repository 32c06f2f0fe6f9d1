#pragma once
// The viewer: a look-at camera kept as an orbit (distance and two angles) around its target.
#include <memory>

#include "engine/math/Vector3f.h"

namespace libkub {

class Frustum;

class Camera {
  public:
    Camera(Vector3f eye, Vector3f target, Vector3f up, float nearPlane, float farPlane, float aspect,
           float fieldOfView);
    ~Camera();
    Camera(const Camera&) = delete;
    Camera& operator=(const Camera&) = delete;

    void applyProjection();
    void applyView();
    void placeAt(Vector3f eye, Vector3f target);
    void resetView();
    void pan(float a, float b);
    void orbit(float a, float b);
    void dolly(float x);
    Vector3f rightAxis() const;
    Vector3f upAxis() const;

    Vector3f target;
    Vector3f savedTarget;
    Vector3f eye;
    Vector3f savedEye;
    Vector3f up;
    Vector3f savedUp;
    std::unique_ptr<Frustum> frustum;
    float theta = 0.0f;    // polar angle from +y, radians
    float phi = 0.0f;      // azimuth in the x-z plane from +z towards +x, radians
    float distance = 0.0f; // orbit distance as of the last placeAt
    float aspect = 1.0f;
    float nearPlane = 1.0f;
    float farPlane = 90.0f;
    float fieldOfView = 45.0f; // vertical, degrees
    int viewportWidth = 0;
    int viewportHeight = 0;
};

} // namespace libkub
