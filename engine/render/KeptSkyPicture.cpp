#include "engine/render/KeptSkyPicture.h"

#include <GL/glew.h>

#include "engine/resources/ShadowMapping.h"
#include "engine/scene/Camera.h"
#include "engine/scene/SkyBox.h"

namespace libkub {

KeptSkyPicture::~KeptSkyPicture() = default; // the GL names live as long as the context

KeptSkyPicture::Key KeptSkyPicture::keyOf(const SkyBox& sky, const Camera& camera, const int (&viewport)[4],
                                          const float (&clear)[4], bool wireframe)
{
    return {camera.eye.x,
            camera.eye.y,
            camera.eye.z,
            camera.target.x,
            camera.target.y,
            camera.target.z,
            camera.up.x,
            camera.up.y,
            camera.up.z,
            camera.fieldOfView,
            camera.aspect,
            camera.nearPlane,
            camera.farPlane,
            sky.centre[0],
            sky.centre[1],
            sky.centre[2],
            static_cast<float>(viewport[0]),
            static_cast<float>(viewport[1]),
            static_cast<float>(viewport[2]),
            static_cast<float>(viewport[3]),
            clear[0],
            clear[1],
            clear[2],
            wireframe ? 1.0f : 0.0f};
}

bool KeptSkyPicture::makeTarget(int newWidth, int newHeight)
{
    if (framebuffer != 0 && width == newWidth && height == newHeight) {
        return true;
    }
    release();
    glGenRenderbuffersEXT(1, &colour);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, colour);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_RGB8, newWidth, newHeight);
    glGenRenderbuffersEXT(1, &depth);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, depth);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, newWidth, newHeight);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
    glGenFramebuffersEXT(1, &framebuffer);
    GLint drawn = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawn);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT, colour);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, depth);
    const bool complete = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(drawn));
    if (!complete) {
        release();
        return false;
    }
    width = newWidth;
    height = newHeight;
    return true;
}

void KeptSkyPicture::release()
{
    if (framebuffer != 0) {
        glDeleteFramebuffersEXT(1, &framebuffer);
        glDeleteRenderbuffersEXT(1, &colour);
        glDeleteRenderbuffersEXT(1, &depth);
    }
    framebuffer = 0;
    colour = 0;
    depth = 0;
    width = 0;
    height = 0;
    kept = false;
}

bool KeptSkyPicture::copyInto(SkyBox& sky, const Camera& camera, bool wireframe)
{
    if (!framebufferObjectsAvailable() || !(GLEW_VERSION_3_0 || GLEW_EXT_framebuffer_blit)) {
        return false;
    }
    GLint viewport[4] = {0, 0, 0, 0};
    GLfloat clear[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    GLint sampleBuffers = 0;
    GLint drawn = 0;
    GLint read = 0;
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawn);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
    const Key key = keyOf(sky, camera, viewport, clear, wireframe);
    if (!(haveLastKey && key == lastKey)) {
        kept = false; // the camera moved: the picture is drawn again
    }
    lastKey = key;
    haveLastKey = true;
    if (sampleBuffers != 0 || viewport[2] <= 0 || viewport[3] <= 0) {
        return false; // a blit cannot copy into a multisampled frame
    }
    if (!kept) {
        if (!makeTarget(viewport[2], viewport[3])) {
            return false;
        }
        // The sky as the frame draws it behind the scene, through the same matrices and state, on a
        // cleared buffer of the viewport's size: every pixel then has the colour the sky gives a pixel
        // that the scene leaves at the cleared depth.
        // The state the sky sets (colour, texture, depth) is given back as it was, so that the frame
        // that fills the picture draws its scene as every frame that only copies it.
        glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_DEPTH_BUFFER_BIT | GL_VIEWPORT_BIT);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
        glViewport(0, 0, viewport[2], viewport[3]);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        sky.drawBehindScene();
        glPopAttrib();
        kept = true;
        ++drawsKept;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawn));
    glBlitFramebuffer(0, 0, viewport[2], viewport[3], viewport[0], viewport[1], viewport[0] + viewport[2],
                      viewport[1] + viewport[3], GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read));
    return true;
}

} // namespace libkub
