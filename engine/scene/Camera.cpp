#include "engine/scene/Camera.h"

#include <GL/glew.h> // before any other GL header
#include <GL/glu.h>

#include <cmath>

#include "engine/math/Frustum.h"

namespace libkub {

namespace {

// The camera's own turn constants: a full and a half turn as 32-bit floats, not exactly 2 pi and pi.
constexpr float fullTurn = 6.28318f;
constexpr float halfTurn = 3.14159f;

Vector3f orbitDirection(float theta, float phi)
{
    return normalize({std::sin(theta) * std::sin(phi), std::cos(theta), std::cos(phi) * std::sin(theta)});
}

} // namespace

Camera::Camera(Vector3f eyePosition, Vector3f targetPosition, Vector3f upVector, float nearDistance,
               float farDistance, float aspectRatio, float verticalFieldOfView)
    : target(targetPosition), savedTarget(targetPosition), eye(eyePosition), savedEye(eyePosition),
      up(upVector), savedUp(upVector), frustum(std::make_unique<Frustum>()), aspect(aspectRatio),
      nearPlane(nearDistance), farPlane(farDistance), fieldOfView(verticalFieldOfView)
{
    applyProjection();
    placeAt(eye, target);
}

Camera::~Camera() = default;

void Camera::applyProjection()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, aspect, nearPlane, farPlane);
    frustum->setLens(fieldOfView, aspect, nearPlane, farPlane);
}

void Camera::applyView()
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, up.x, up.y, up.z);
    frustum->setPose(eye, target, up);
}

void Camera::placeAt(Vector3f newEye, Vector3f newTarget)
{
    eye = newEye;
    target = newTarget;
    if (eye == target) {
        // No direction to look along: fall back to looking down -z from one unit away.
        eye = {0.0f, 0.0f, 1.0f};
        target = {0.0f, 0.0f, 0.0f};
    }
    Vector3f d = eye - target;
    distance = d.length();
    d = normalize(d);
    theta = std::acos(d.y);
    if (d.z == 0.0f) {
        d.z = 0.1f;
    }
    phi = std::atan2(d.x, d.z);
    up.y = 1.0f;
    applyView();
}

void Camera::resetView()
{
    up = savedUp;
    placeAt(savedEye, savedTarget);
}

Vector3f Camera::rightAxis() const
{
    return cross(up, eye - target);
}

Vector3f Camera::upAxis() const
{
    return cross(eye - target, rightAxis());
}

void Camera::pan(float a, float b)
{
    if (a != 0.0f) {
        const Vector3f step = normalize(rightAxis()) * -a;
        eye += step;
        target += step;
    }
    if (b != 0.0f) {
        const Vector3f step = normalize(upAxis()) * b;
        eye += step;
        target += step;
    }
    applyView();
}

void Camera::orbit(float a, float b)
{
    if (a != 0.0f) {
        float newPhi = phi;
        // Upside down, the azimuth turns the other way so that a drag keeps its screen direction.
        if (up.y > 0.0f) {
            newPhi = phi - a;
        } else if (up.y < 0.0f) {
            newPhi = phi + a;
        }
        if (phi >= 0.0f && newPhi < 0.0f) {
            newPhi += fullTurn;
        } else if (phi <= fullTurn && newPhi > fullTurn) {
            newPhi -= fullTurn;
        }
        phi = newPhi;
    }
    if (b != 0.0f) {
        float newTheta = theta - b;
        if (theta > 0.0f && newTheta <= 0.0f) {
            // Over the top pole.
            newTheta += fullTurn;
            up = up * -1.0f;
        } else if (theta < fullTurn && newTheta >= fullTurn) {
            newTheta -= fullTurn;
            if (newTheta == 0.0f) {
                newTheta = 0.01f;
            }
            up = up * -1.0f;
        } else if ((theta <= halfTurn && newTheta > halfTurn) || (theta >= halfTurn && newTheta < halfTurn)) {
            // Under the bottom pole.
            up = up * -1.0f;
        }
        theta = newTheta;
    }
    eye = target + orbitDirection(theta, phi) * distance;
    applyView();
}

void Camera::dolly(float x)
{
    const Vector3f step = orbitDirection(theta, phi) * (-x * distance);
    eye += step;
    target += step;
    applyView();
}

} // namespace libkub
