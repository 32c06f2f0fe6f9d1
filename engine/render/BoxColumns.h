#pragma once
// Copies of one textured box (TexturedBox.h) resting on one another, drawn as one box per column in the
// camera pass: the game's dice stand in towers of dozens on a tile, and a tower of n dice is then 12
// triangles instead of 12 n. The column's sides repeat the copy's side images once per copy and its top
// and foot are the top copy's top and the lowest copy's foot, each fragment given the position,
// normal and texture coordinate the copy under it would give (the texture coordinate taken modulo one
// copy by the program's BOX_COLUMNS variant).
//
// A column is made only where that holds to the rounding of the placement: copies of a model whose
// loaded triangles prove a textured box, drawn from a vertex buffer, unrotated, scaled by positive
// factors, sampled without mipmaps by one filter (so the coordinate's jump from copy to copy picks no
// other level or filter), of the same buffer, texture, material, scale and x and z, each resting on the
// one below: its foot within float rounding of the lower one's top. Anything else is left to the
// caller's ordinary drawing.
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "engine/resources/Material.h"
#include "engine/math/BoundingBox.h"
#include "engine/math/Vector3f.h"
#include "engine/render/NearBeforeFar.h"

namespace libkub {

class DrawableObject;
class Model;
struct TexturedBox;

class BoxColumns {
  public:
    BoxColumns();
    ~BoxColumns();
    BoxColumns(const BoxColumns&) = delete;
    BoxColumns& operator=(const BoxColumns&) = delete;

    // Gathers the copies in `list` that rest on one another into columns (for the next draw) and puts
    // the index in `list` of every other object into `rest`, in list order. `rest` is cleared first.
    void gather(const std::vector<DrawableObject*>& list, std::vector<std::uint32_t>& rest);
    // Draws the gathered columns under `program` (the shadow program's BOX_COLUMNS variant, current
    // afterwards), with their materials and textures set as Model::draw sets them: with nearFirst
    // (NearBeforeFar.h) nearest the eye first while they stand apart, else in the order gathered. With
    // cullBackFaces their back faces are not drawn. Then forgets them.
    void draw(unsigned program, Vector3f eye, bool cullBackFaces, bool nearFirst);

    // Draws the gathered columns into the depth buffer under no program (the depth passes): each
    // column's four sides as one face each, and every copy's own top and foot, then forgets them. The
    // pass's culling decides which faces count, as for the copies drawn on their own. Given `reaches`,
    // a column whose box it says cannot reach what the pass draws is left out whole (a column is never
    // cut, so what is drawn is drawn by the same triangles as without it). Returns the copies left out.
    std::size_t drawDepth(const std::function<bool(const BoundingBox&)>& reaches = {});

    // What the last gather found: its columns and the copies in them.
    std::size_t columns() const { return columnList.size(); }
    std::size_t copiesInColumns() const { return copies; }

    // Ends a frame: a kind of copy that no gather found in the last framesKept frames is released, as
    // the instanced batches release theirs (a tile's colour comes back from a selection only up to float
    // rounding, so each click can make a kind that never comes again).
    void endFrame();
    // The kinds kept, in use or not, and the textures whose sampling is known.
    std::size_t kindCount() const { return kinds.size(); }
    std::size_t textureCheckCount() const { return textureChecks.size(); }

    static constexpr unsigned framesKept = 8;

  private:
    // What copies must share to stand in one column, but for x and z: buffer, texture, material, scale
    // and box; compared by their bytes (floats by their bits).
    struct KindKey {
        unsigned vertexBuffer = 0;
        unsigned texture = 0;
        Material material;
        Vector3f scale;
        const TexturedBox* box = nullptr;

        bool operator==(const KindKey& other) const;
    };
    struct KindKeyHash {
        std::size_t operator()(const KindKey& key) const;
    };
    struct Kind : KindKey {
        unsigned idleFrames = 0; // frames ended since a gather last found a copy of it
    };
    struct Copy {
        std::uint32_t kind = 0;
        float x = 0.0f;
        float z = 0.0f;
        float y = 0.0f;
        std::uint32_t index = 0; // in the gathered list
    };
    struct Column {
        std::uint32_t kind = 0;
        Vector3f foot;     // the lowest copy's place
        float topY = 0.0f; // the top copy's place
        std::uint32_t count = 0;
        std::uint32_t firstCopy = 0; // the lowest copy among the gathered candidates, sorted
        float distance = 0.0f;       // squared, from the eye, for the order of drawing
    };

    // The kind of a model that may stand in a column, or -1.
    int kindOf(const Model& model);
    // Whether the texture is sampled without mipmaps and by the same filter near and far.
    bool samplesOneLevel(unsigned texture);
    // The box the column's copies fill, from the lowest copy's foot to the top copy's top.
    BoundingBox boxOf(const Column& column) const;
    // Writes the column's twelve triangles into `vertices`.
    void appendBox(const Column& column, std::vector<float>& vertices) const;
    // Writes the column's sides and its copies' tops and feet, positions only.
    void appendDepthBox(const Column& column, std::vector<float>& vertices) const;
    // Puts `vertices` into the column buffer, which stays bound.
    void upload();

    // Forgets every kind and texture check when a texture was deleted since they were made: GL may have
    // given its name to another texture.
    void forgetTexturesIfAnyDeleted();

    std::vector<Kind> kinds;
    std::unordered_map<KindKey, std::uint32_t, KindKeyHash> kindIndex; // into kinds
    std::unordered_map<unsigned, bool> textureChecks;                  // texture name: samples one level
    std::uint64_t texturesDeletedWhenChecked = 0;
    std::vector<Copy> candidates;
    std::vector<Column> columnList;
    std::vector<bool> inColumn;
    std::vector<float> vertices;
    std::vector<BoundingBox> columnBoxes; // for the check that the columns stand apart
    ApartCheck apart;
    std::size_t copies = 0;
    unsigned vertexBuffer = 0;
};

} // namespace libkub
