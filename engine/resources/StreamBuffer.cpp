#include "engine/resources/StreamBuffer.h"

#include <GL/glew.h>

namespace libkub {

void streamIntoBuffer(unsigned& buffer, const void* data, std::size_t bytes)
{
    if (buffer == 0) {
        glGenBuffersARB(1, &buffer);
    }
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
    const auto size = static_cast<GLsizeiptrARB>(bytes);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, size, nullptr, GL_STREAM_DRAW_ARB);
    if (bytes > 0) {
        glBufferSubDataARB(GL_ARRAY_BUFFER_ARB, 0, size, data);
    }
}

} // namespace libkub
