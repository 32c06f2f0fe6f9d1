#pragma once
// One model read from a COLLADA file: its mesh, colour texture, material and bounding box,
// with the placement the game gives it.
#include <memory>
#include <string>
#include <vector>

#include "engine/math/BoundingBox.h"
#include "engine/resources/Material.h"
#include "engine/math/Matrix4f.h"
#include "engine/resources/Mesh.h"

namespace libkub {

class Model {
  public:
    // Moves the mesh and recentres the box.
    void setPosition(float x, float y, float z);
    // Scales the mesh and sizes the box around its unchanged centre; returns the new box.
    BoundingBox setSize(float x, float y, float z);
    BoundingBox bounds() const { return box; }
    // The world box around what draw() puts on screen: the box grown to enclose the mesh's triangles
    // after scale, rotation and translation. Culling uses it, so that nothing on screen is skipped
    // whatever box an owner gives its model (picking keeps using the owner's box).
    BoundingBox drawnBounds() const;
    // Draws the mesh with the material and first texture on texture unit 0, in the current render
    // mode, with the recording that mode uses (a mesh built for another mode draws nothing), placed by
    // placementOf(mesh) (MeshPlacement.h) after the current modelview matrix.
    void draw();
    // As draw(), with this modelview matrix loaded instead: the view times placementOf(mesh), computed
    // once by the caller, which may hand the same matrix to an instanced draw of the model's copies.
    void drawPlaced(const Matrix4f& modelview);

    Mesh mesh;
    std::vector<unsigned> textures; // GL texture names; the texture cache owns the textures
    Material material;
    std::vector<unsigned> programs; // GL program names from the program cache
    BoundingBox box;
    // Model-space corners of the mesh's triangles, read at load; meshMin > meshMax for no geometry.
    Vector3f meshMin{1.0f, 1.0f, 1.0f};
    Vector3f meshMax{-1.0f, -1.0f, -1.0f};

  private:
    // Material, texture and the recording, under whatever modelview matrix is loaded.
    void drawRecording();
};

// Loads a model from a .dae path: the mesh for the current render mode, the first image as its
// texture (shared through the texture cache; a white texture when the file names no image), the
// material of the instantiated common profiles and one program per GLSL effect (shared through the
// program cache). A material that names no effect of the file is skipped with one line on standard
// error. A file that is missing, does not parse or has no triangle group gives one line on standard
// error and an empty model that draws nothing but can still be placed and picked. Triangles none of
// which has any area (every position unreadable, say) are kept as the file gives them, with one line
// on standard error that says why.
std::unique_ptr<Model> loadModel(const std::string& path);

} // namespace libkub
