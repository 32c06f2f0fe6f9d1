#pragma once
// The matrix that places a mesh in the scene: translation, then rotation about its axis, then scale,
// as glTranslatef, glRotatef and glScalef would compose them, computed on the CPU. Every draw of a
// model in the camera pass loads the product of the view with this matrix, whether it draws the model
// alone or as one of many copies in one instanced call: both take the same matrix, so they place every
// vertex to the same bit.
#include "engine/math/Matrix4f.h"

namespace libkub {

struct Mesh;

Matrix4f placementOf(const Mesh& mesh);

} // namespace libkub
