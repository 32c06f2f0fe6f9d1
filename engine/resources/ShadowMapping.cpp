#include "engine/resources/ShadowMapping.h"

#include <cstdio>

namespace libkub {

bool invertMatrix(const Matrix4f& in, Matrix4f& out)
{
    const float* m = in.data();
    // Cofactors of the column-major matrix, each a sum of products of three elements.
    float inv[16];
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
             m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] -
             m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
             m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] -
              m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] -
             m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
             m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
             m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
              m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
             m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
             m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
              m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
              m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
             m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
             m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
              m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
              m[8] * m[1] * m[6] - m[8] * m[2] * m[5];

    // Expanded along the first row; summed in extended precision to limit cancellation.
    const long double determinant =
        static_cast<long double>(m[0]) * inv[0] + static_cast<long double>(m[1]) * inv[4] +
        static_cast<long double>(m[2]) * inv[8] + static_cast<long double>(m[3]) * inv[12];
    const float det = static_cast<float>(determinant);
    if (det == 0.0f) {
        return false;
    }
    for (int i = 0; i < 16; ++i) {
        out.m[i] = inv[i] / det;
    }
    return true;
}

const char* framebufferStatusMessage(GLenum status)
{
    switch (status) {
    case GL_FRAMEBUFFER_COMPLETE_EXT:
        return "";
    case GL_FRAMEBUFFER_UNSUPPORTED_EXT:
        return "Frame buffer extension not supported.";
    case GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT:
        return "Incomplete attachments";
    case GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT:
        return "Incomplete dimensions";
    case GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT:
        return "Incomplete drw buffer";
    case GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT:
        return "incomplete formats";
    case GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT:
        return "incomplete attachments";
    case GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT:
        return "Incomplete read buffer";
    default:
        return "Logic error";
    }
}

void printFramebufferStatus(GLenum status)
{
    std::fputs(framebufferStatusMessage(status), stdout);
}

void checkFramebufferStatus()
{
    printFramebufferStatus(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT));
}

bool framebufferObjectsAvailable()
{
    return GLEW_EXT_framebuffer_object && glGenFramebuffersEXT != nullptr &&
           glCheckFramebufferStatusEXT != nullptr;
}

bool drawsIntoFloatDepth()
{
    if (!(GLEW_VERSION_3_0 || GLEW_ARB_framebuffer_object)) {
        return false;
    }
    GLint bound = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
    if (bound == 0 && !GLEW_VERSION_3_0) {
        return false; // the window's buffers can be asked about from OpenGL 3.0 on
    }
    const GLenum attachment = bound == 0 ? GL_DEPTH : GL_DEPTH_ATTACHMENT;
    GLint object = GL_NONE;
    glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, attachment,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &object);
    if (object == GL_NONE) {
        return false;
    }
    GLint type = GL_NONE;
    glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, attachment,
                                          GL_FRAMEBUFFER_ATTACHMENT_COMPONENT_TYPE, &type);
    return type == GL_FLOAT;
}

} // namespace libkub
