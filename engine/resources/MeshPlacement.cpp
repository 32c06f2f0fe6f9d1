#include "engine/resources/MeshPlacement.h"

#include <cmath>

#include "engine/resources/Mesh.h"

namespace libkub {

Matrix4f placementOf(const Mesh& mesh)
{
    // The rotation about the unit axis by the angle in degrees, by columns; none for no angle or no axis.
    Matrix4f placement = Matrix4f::identity();
    const MeshRotation& rotation = mesh.rotation;
    const float length =
        std::sqrt(rotation.x * rotation.x + rotation.y * rotation.y + rotation.z * rotation.z);
    if (rotation.angle != 0.0f && length > 0.0f) {
        const float x = rotation.x / length;
        const float y = rotation.y / length;
        const float z = rotation.z / length;
        const double radians = rotation.angle * 3.141592653589793 / 180.0;
        const auto c = static_cast<float>(std::cos(radians));
        const auto s = static_cast<float>(std::sin(radians));
        const float k = 1.0f - c;
        placement.m = {x * x * k + c,
                       y * x * k + z * s,
                       x * z * k - y * s,
                       0.0f,
                       x * y * k - z * s,
                       y * y * k + c,
                       y * z * k + x * s,
                       0.0f,
                       x * z * k + y * s,
                       y * z * k - x * s,
                       z * z * k + c,
                       0.0f,
                       0.0f,
                       0.0f,
                       0.0f,
                       1.0f};
    }
    // Scale applies first: it scales the rotation's columns.
    const float scale[3] = {mesh.scale.x, mesh.scale.y, mesh.scale.z};
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            placement.m[column * 4 + row] *= scale[column];
        }
    }
    placement.m[12] = mesh.translation.x;
    placement.m[13] = mesh.translation.y;
    placement.m[14] = mesh.translation.z;
    return placement;
}

} // namespace libkub
