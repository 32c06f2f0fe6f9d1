#pragma once
// What a light's depth pass drew, so that a pass that would draw the same again can be skipped. The
// record holds, as raw 32-bit words compared exactly (no hashing; floats by their bits):
// - the depth texture drawn into and its edge length in texels;
// - how many times any mesh's triangles had been recorded into a GL buffer or display list when the
//   pass was drawn (geometryRecordings), since a recording made again may reuse a buffer or list name;
// - the light's projection and view matrices;
// - the render mode, wireframe, and the parts of the frame's plan (FramePlan.h) that decide how the
//   casters are drawn: whether they are instanced (the plan's instancing, where the driver offers it)
//   and whether copies resting on one another are drawn as columns (BoxColumns.h); which casters
//   there are (the plan's caster culling) is the list of objects below;
// - for every object drawn, in order: its vertex buffer name, display list name, vertex count,
//   triangle count and the address of its shared triangle list (which recording is drawn, and how
//   much of it), then the translation, rotation and scale that place it.
// An object that draws more than its model makes the record equal to no other. So two passes count as
// equal only when they draw the same recordings, unchanged since, in the same places through the same
// light into the same texture. What the record does not see: a buffer, list or triangle list changed
// by other means than the mesh building functions, and GL state outside the switches above.
#include <cstdint>
#include <vector>

namespace libkub {

class DrawableObject;
struct Matrix4f;
struct Mesh;

class DepthPassRecord {
  public:
    // Starts a record for a pass drawn into this depth texture of this edge length, through these
    // light matrices with these switches.
    void begin(unsigned depthTexture, int size, const Matrix4f& lightProjection, const Matrix4f& lightView,
               std::int32_t renderMode, bool wireframe, bool instancing, bool columns = false);
    // Adds one object the pass draws, drawn as nothing but its mesh.
    void add(const Mesh& mesh);
    // Adds an object that draws more than its mesh: what it draws cannot be recorded, so the pass
    // never counts as the same as another.
    void addUnrecordable() { repeatable = false; }

    bool operator==(const DepthPassRecord& other) const
    {
        return repeatable && other.repeatable && words == other.words;
    }

    // The positions, in drawing order, of the objects whose entries differ from `other`'s, when the two
    // records differ in nothing else: the same texture, light matrices and switches, with no geometry
    // recorded again in between, and as many objects. False when anything else differs (or either
    // record holds an object that draws more than its mesh): then no object-by-object answer exists.
    bool differingObjects(const DepthPassRecord& other, std::vector<std::size_t>& positions) const;

  private:
    void append(const void* data, std::size_t bytes);

    // Words before the first object (the texture, the light matrices and the switches begin wrote).
    std::size_t headerWords = 0;

    // Every recorded value as raw 32-bit words: floats compare by their bits, so a moved object (or a
    // light moved by the smallest step) always changes the record.
    std::vector<std::uint32_t> words;
    bool repeatable = true;
};

} // namespace libkub
