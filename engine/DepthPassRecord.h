#pragma once
// What a light's depth pass drew: the light's matrices, the switches that change how the pass draws,
// and the geometry and placement of every object drawn into it, in order. A pass whose record equals
// the last one drawn would write the same depth texture again, so it can be skipped. The record is
// compared exactly (no hashing), so two passes that differ in anything drawn never count as equal.
#include <cstdint>
#include <vector>

namespace libkub {

class DrawableObject;
struct Matrix4f;
struct Mesh;

class DepthPassRecord {
  public:
    // Starts a record for a pass drawn through these light matrices with these switches.
    void begin(const Matrix4f& lightProjection, const Matrix4f& lightView, std::int32_t renderMode,
               bool wireframe, bool instancing);
    // Adds one object the pass draws, drawn as nothing but its mesh.
    void add(const Mesh& mesh);
    // Adds an object that draws more than its mesh: what it draws cannot be recorded, so the pass
    // never counts as the same as another.
    void addUnrecordable() { repeatable = false; }

    bool operator==(const DepthPassRecord& other) const
    {
        return repeatable && other.repeatable && words == other.words;
    }

  private:
    void append(const void* data, std::size_t bytes);

    // Every recorded value as raw 32-bit words: floats compare by their bits, so a moved object (or a
    // light moved by the smallest step) always changes the record.
    std::vector<std::uint32_t> words;
    bool repeatable = true;
};

} // namespace libkub
