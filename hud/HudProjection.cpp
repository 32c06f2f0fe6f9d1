#include "hud/HudProjection.h"

#include <GL/glew.h> // before any other GL header
#include <GL/glu.h>

namespace Kubora {

void beginHudProjection()
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0.0, 10.0, -10.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
}

} // namespace Kubora
