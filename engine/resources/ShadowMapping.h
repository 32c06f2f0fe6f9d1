#pragma once
// Free helpers of the shadow mapping: the one matrix inverse the engine computes itself, and the
// framebuffer checks.
#include <GL/glew.h>

#include "engine/math/Matrix4f.h"

namespace libkub {

// General 4 x 4 inverse by cofactors. Returns false and leaves out untouched when the determinant is 0.
bool invertMatrix(const Matrix4f& in, Matrix4f& out);

// The console text for a framebuffer status; empty for a complete framebuffer.
const char* framebufferStatusMessage(GLenum status);

// Writes the message of a framebuffer status to standard output, without a line end.
void printFramebufferStatus(GLenum status);

// Writes the message of the bound framebuffer's status to standard output, without a line end.
void checkFramebufferStatus();

// True when this context offers framebuffer objects (without them no shadow map can be rendered).
bool framebufferObjectsAvailable();

// Whether the depth buffer drawn into keeps floats: the component type of the bound draw framebuffer's
// depth attachment (of the window's depth buffer when none is bound). Not its bit count: a 32-bit
// buffer may hold fixed-point depth too. False when there is none or the driver cannot say.
bool drawsIntoFloatDepth();

} // namespace libkub
