#include "engine/scene/PickRay.h"

#include <GL/glew.h> // before any other GL header
#include <GL/glu.h>

namespace libkub {

void updatePickRay(int windowHeight, Ray& ray, int x, int y)
{
    GLdouble modelView[16];
    GLdouble projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);

    // GLUT counts rows from the top, GL from the bottom.
    const GLdouble windowX = x;
    const GLdouble windowY = windowHeight - y;
    GLdouble nearX = 0.0, nearY = 0.0, nearZ = 0.0;
    GLdouble farX = 0.0, farY = 0.0, farZ = 0.0;
    if (gluUnProject(windowX, windowY, 0.0, modelView, projection, viewport, &nearX, &nearY, &nearZ) !=
            GL_TRUE ||
        gluUnProject(windowX, windowY, 1.0, modelView, projection, viewport, &farX, &farY, &farZ) !=
            GL_TRUE) {
        // Singular matrices: keep the last good ray rather than fill it with garbage.
        return;
    }
    ray.origin = {static_cast<float>(nearX), static_cast<float>(nearY), static_cast<float>(nearZ)};
    const Vector3f farPoint{static_cast<float>(farX), static_cast<float>(farY), static_cast<float>(farZ)};
    ray.direction = normalize(farPoint - ray.origin);
}

} // namespace libkub
