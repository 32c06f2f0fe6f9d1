#include "engine/resources/OffscreenFrame.h"

#include <GL/glew.h>

namespace libkub {

namespace {

// The read framebuffer's pixels as glReadPixels gives them, bottom row first.
template <typename T>
std::vector<T> readBottomUp(int width, int height, GLenum format, GLenum type, int perPixel)
{
    glFinish();
    GLint readFramebuffer = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    glReadBuffer(readFramebuffer == 0 ? GL_BACK : GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<T> bottomUp(static_cast<std::size_t>(width) * height * perPixel);
    glReadPixels(0, 0, width, height, format, type, bottomUp.data());
    return bottomUp;
}

template <typename T>
std::vector<T> readTopDown(int width, int height, GLenum format, GLenum type, int perPixel)
{
    return flipRows(readBottomUp<T>(width, height, format, type, perPixel), width, height, perPixel);
}

} // namespace

Frame readFrame(int width, int height)
{
    Frame frame;
    frame.width = width;
    frame.height = height;
    frame.rgb = readTopDown<std::uint8_t>(width, height, GL_RGB, GL_UNSIGNED_BYTE, 3);
    frame.depth = readTopDown<float>(width, height, GL_DEPTH_COMPONENT, GL_FLOAT, 1);
    return frame;
}

std::vector<std::uint8_t> readRgba(int width, int height)
{
    return readTopDown<std::uint8_t>(width, height, GL_RGBA, GL_UNSIGNED_BYTE, 4);
}

OffscreenFrame::OffscreenFrame(int frameWidth, int frameHeight, unsigned depthFormat)
    : width(frameWidth), height(frameHeight)
{
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previousFramebuffer);
    glGetIntegerv(GL_VIEWPORT, previousViewport);
    glGenFramebuffersEXT(1, &framebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    glGenRenderbuffersEXT(1, &colour);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, colour);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_RGBA8, width, height);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT, colour);
    glGenRenderbuffersEXT(1, &depth);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, depth);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, depthFormat, width, height);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, depth);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
    glDrawBuffer(GL_COLOR_ATTACHMENT0_EXT);
    glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
    glViewport(0, 0, width, height);
}

OffscreenFrame::~OffscreenFrame()
{
    const GLuint previous = static_cast<GLuint>(previousFramebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, previous);
    glDrawBuffer(previous == 0 ? GL_BACK : GL_COLOR_ATTACHMENT0_EXT);
    glReadBuffer(previous == 0 ? GL_BACK : GL_COLOR_ATTACHMENT0_EXT);
    glViewport(previousViewport[0], previousViewport[1], previousViewport[2], previousViewport[3]);
    glDeleteRenderbuffersEXT(1, &depth);
    glDeleteRenderbuffersEXT(1, &colour);
    glDeleteFramebuffersEXT(1, &framebuffer);
}

void OffscreenFrame::bind() const
{
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    glDrawBuffer(GL_COLOR_ATTACHMENT0_EXT);
    glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
    glViewport(0, 0, width, height);
}

bool OffscreenFrame::complete() const
{
    return glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
}

std::vector<std::uint8_t> OffscreenFrame::pixels() const
{
    return readBottomUp<std::uint8_t>(width, height, GL_RGB, GL_UNSIGNED_BYTE, 3);
}

Rgb OffscreenFrame::pixel(int x, int y) const
{
    std::uint8_t rgb[3] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

Frame OffscreenFrame::read() const
{
    return readFrame(width, height);
}

} // namespace libkub
