#include "tools/kubora-view/OffscreenPicture.h"

#include <GL/glew.h>

#include <cstdint>
#include <vector>

#include "engine/resources/Diagnostics.h"
#include "engine/image/PngWriter.h"
#include "tools/kubora-view/ModelStage.h"

namespace KuboraView {

namespace {

// A colour and depth target of one size, bound while it lives, released with it.
class Target {
  public:
    Target(int width, int height)
    {
        glGenFramebuffersEXT(1, &framebuffer);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
        glGenRenderbuffersEXT(2, buffers);
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, buffers[0]);
        glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_RGBA8, width, height);
        glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT,
                                     buffers[0]);
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, buffers[1]);
        glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, width, height);
        glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                     buffers[1]);
        glDrawBuffer(GL_COLOR_ATTACHMENT0_EXT);
        glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
        glViewport(0, 0, width, height);
    }
    ~Target()
    {
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        glDeleteRenderbuffersEXT(2, buffers);
        glDeleteFramebuffersEXT(1, &framebuffer);
    }
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    bool complete() const
    {
        return glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
    }

  private:
    GLuint framebuffer = 0;
    GLuint buffers[2] = {};
};

} // namespace

int writePicture(ModelStage& stage, int width, int height, const std::string& path)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 3);
    {
        const Target target(width, height);
        if (!target.complete()) {
            libkub::reportProblem("--size " + std::to_string(width) + "x" + std::to_string(height),
                                  "no off-screen frame of this size can be made");
            return 1;
        }
        stage.draw();
        stage.draw();
        glFinish();
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    }
    std::string reason;
    if (!libkub::writePng(path, width, height, pixels.data(), &reason)) {
        libkub::reportProblem(path, reason);
        return 1;
    }
    return 0;
}

} // namespace KuboraView
