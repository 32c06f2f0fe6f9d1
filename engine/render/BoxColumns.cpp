#include "engine/render/BoxColumns.h"

#include <GL/glew.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "engine/scene/DrawableObject.h"
#include "engine/resources/Model.h"
#include "engine/resources/StreamBuffer.h"
#include "engine/resources/Texture.h"
#include "engine/geometry/TexturedBox.h"

namespace libkub {

namespace {

// A copy rests on the one below when its foot lies within this share of the height it stands at (plus
// its own height) of the lower one's top: a few float steps, which is what placing copies at a whole
// number of heights above a base point in float arithmetic leaves. The gap or overlap that allows is a
// millionth of a copy, far below a pixel of any view in which the copies show.
constexpr float restingTolerance = 0x1p-20f;

// Floats per column vertex: texture coordinate (s, t), normal, position, then the coordinate's step
// over one copy (s, t) and the copies counted from the column's foot, which the program reads as the
// second texture coordinate set.
constexpr int columnVertexFloats = 11;
constexpr GLsizei columnVertexStride = columnVertexFloats * sizeof(float);
constexpr int verticesPerColumn = texturedBoxFaces * 6;

float componentOf(const Vector3f& v, int axis)
{
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

void setComponent(Vector3f& v, int axis, float value)
{
    (axis == 0 ? v.x : (axis == 1 ? v.y : v.z)) = value;
}

// The corner bits (bit 0 along the face's lower other axis, bit 1 along the higher) of the face's two
// triangles, counter-clockwise seen from outside: (first, second, axis) turns the other way for y.
std::array<int, 6> faceTriangleCorners(int face)
{
    const bool forwards = (face / 2 == 1) != (face % 2 == 1);
    const int quad[4] = {0, forwards ? 1 : 2, 3, forwards ? 2 : 1};
    return {quad[0], quad[1], quad[2], quad[0], quad[2], quad[3]};
}

// A corner of the face of the box from low to high.
Vector3f faceCorner(const Vector3f& low, const Vector3f& high, int face, int corner)
{
    const int axis = face / 2;
    const int firstAxis = axis == 0 ? 1 : 0;
    const int secondAxis = axis == 2 ? 1 : 2;
    Vector3f position;
    setComponent(position, axis, componentOf(face % 2 == 1 ? high : low, axis));
    setComponent(position, firstAxis, componentOf((corner & 1) != 0 ? high : low, firstAxis));
    setComponent(position, secondAxis, componentOf((corner & 2) != 0 ? high : low, secondAxis));
    return position;
}

} // namespace

BoxColumns::BoxColumns() = default;
BoxColumns::~BoxColumns() = default; // GL objects live as long as the context

bool BoxColumns::KindKey::operator==(const KindKey& other) const
{
    return vertexBuffer == other.vertexBuffer && texture == other.texture && box == other.box &&
           std::memcmp(&scale, &other.scale, sizeof(Vector3f)) == 0 &&
           std::memcmp(&material, &other.material, sizeof(Material)) == 0;
}

std::size_t BoxColumns::KindKeyHash::operator()(const KindKey& key) const
{
    // FNV-1a over the bytes the comparison reads.
    std::uint64_t hash = 14695981039346656037ull;
    const auto mix = [&hash](const void* data, std::size_t bytes) {
        const auto* byte = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < bytes; ++i) {
            hash = (hash ^ byte[i]) * 1099511628211ull;
        }
    };
    mix(&key.vertexBuffer, sizeof(key.vertexBuffer));
    mix(&key.texture, sizeof(key.texture));
    mix(&key.box, sizeof(key.box));
    mix(&key.scale, sizeof(key.scale));
    mix(&key.material, sizeof(key.material));
    return static_cast<std::size_t>(hash);
}

void BoxColumns::forgetTexturesIfAnyDeleted()
{
    if (texturesDeleted() == texturesDeletedWhenChecked) {
        return;
    }
    texturesDeletedWhenChecked = texturesDeleted();
    kinds.clear();
    kindIndex.clear();
    textureChecks.clear();
}

void BoxColumns::endFrame()
{
    if (!columnList.empty()) {
        return; // columns gathered but not drawn (never at the end of a frame): keep their kinds
    }
    const std::size_t before = kinds.size();
    std::erase_if(kinds, [](Kind& kind) { return ++kind.idleFrames > framesKept; });
    if (kinds.size() == before) {
        return;
    }
    kindIndex.clear();
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        kindIndex.emplace(kinds[i], static_cast<std::uint32_t>(i));
    }
    // A texture check goes with the last kind of its texture.
    std::erase_if(textureChecks, [this](const auto& check) {
        return std::none_of(kinds.begin(), kinds.end(),
                            [&check](const Kind& kind) { return kind.texture == check.first; });
    });
}

bool BoxColumns::samplesOneLevel(unsigned texture)
{
    if (const auto found = textureChecks.find(texture); found != textureChecks.end()) {
        return found->second;
    }
    // Asked once per texture, on unit 0, whose binding is put back.
    GLint active = GL_TEXTURE0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glActiveTexture(GL_TEXTURE0);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint minifying = 0;
    GLint magnifying = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minifying);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magnifying);
    GLfloat anisotropy = 1.0f;
    if (GLEW_EXT_texture_filter_anisotropic) {
        glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    glActiveTexture(static_cast<GLenum>(active));
    const bool oneLevel = texture != 0 && minifying == magnifying &&
                          (minifying == GL_LINEAR || minifying == GL_NEAREST) && anisotropy <= 1.0f;
    textureChecks.emplace(texture, oneLevel);
    return oneLevel;
}

int BoxColumns::kindOf(const Model& model)
{
    const Mesh& mesh = model.mesh;
    if (!mesh.texturedBox || mesh.vertexBuffer == 0 || mesh.vertexCount == 0 || mesh.rotation.angle != 0.0f ||
        !(mesh.scale.x > 0.0f && mesh.scale.y > 0.0f && mesh.scale.z > 0.0f)) {
        return -1;
    }
    KindKey key;
    key.vertexBuffer = mesh.vertexBuffer;
    key.texture = model.textures.empty() ? 0 : model.textures.front();
    key.material = model.material;
    key.scale = mesh.scale;
    key.box = mesh.texturedBox.get();
    if (const auto found = kindIndex.find(key); found != kindIndex.end()) {
        kinds[found->second].idleFrames = 0;
        return static_cast<int>(found->second);
    }
    if (!samplesOneLevel(key.texture)) {
        return -1;
    }
    // Kinds are few (one per model, material and size in use); those unused for a while are released.
    Kind& kind = kinds.emplace_back();
    static_cast<KindKey&>(kind) = key;
    kindIndex.emplace(key, static_cast<std::uint32_t>(kinds.size() - 1));
    return static_cast<int>(kinds.size() - 1);
}

void BoxColumns::gather(const std::vector<DrawableObject*>& list, std::vector<std::uint32_t>& rest)
{
    forgetTexturesIfAnyDeleted();
    candidates.clear();
    columnList.clear();
    copies = 0;
    rest.clear();
    for (std::size_t i = 0; i < list.size(); ++i) {
        DrawableObject& object = *list[i];
        if (!object.drawsOnlyItsModel()) {
            continue;
        }
        const Model& model = *object.model();
        const int kind = kindOf(model);
        if (kind >= 0) {
            const Vector3f& place = model.mesh.translation;
            candidates.push_back(
                {static_cast<std::uint32_t>(kind), place.x, place.z, place.y, static_cast<std::uint32_t>(i)});
        }
    }
    std::sort(candidates.begin(), candidates.end(), [](const Copy& a, const Copy& b) {
        if (a.kind != b.kind) {
            return a.kind < b.kind;
        }
        if (a.x != b.x) {
            return a.x < b.x;
        }
        if (a.z != b.z) {
            return a.z < b.z;
        }
        return a.y < b.y;
    });

    inColumn.assign(list.size(), false);
    std::size_t first = 0;
    while (first < candidates.size()) {
        const Copy& foot = candidates[first];
        const Kind& kind = kinds[foot.kind];
        const float footOffset = kind.scale.y * kind.box->min.y;
        const float topOffset = kind.scale.y * kind.box->max.y;
        const float height = topOffset - footOffset;
        std::size_t last = first;
        while (last + 1 < candidates.size()) {
            const Copy& lower = candidates[last];
            const Copy& upper = candidates[last + 1];
            if (upper.kind != lower.kind || upper.x != lower.x || upper.z != lower.z) {
                break;
            }
            const float lowerTop = lower.y + topOffset;
            const float upperFoot = upper.y + footOffset;
            if (std::abs(upperFoot - lowerTop) > restingTolerance * (std::abs(lowerTop) + height)) {
                break;
            }
            ++last;
        }
        if (last > first) {
            columnList.push_back({foot.kind,
                                  {foot.x, foot.y, foot.z},
                                  candidates[last].y,
                                  static_cast<std::uint32_t>(last - first + 1),
                                  static_cast<std::uint32_t>(first),
                                  0.0f});
            for (std::size_t i = first; i <= last; ++i) {
                inColumn[candidates[i].index] = true;
            }
            copies += last - first + 1;
        }
        first = last + 1;
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (!inColumn[i]) {
            rest.push_back(static_cast<std::uint32_t>(i));
        }
    }
}

BoundingBox BoxColumns::boxOf(const Column& column) const
{
    const Kind& kind = kinds[column.kind];
    const TexturedBox& box = *kind.box;
    const Vector3f low{column.foot.x + kind.scale.x * box.min.x, column.foot.y + kind.scale.y * box.min.y,
                       column.foot.z + kind.scale.z * box.min.z};
    const Vector3f high{column.foot.x + kind.scale.x * box.max.x, column.topY + kind.scale.y * box.max.y,
                        column.foot.z + kind.scale.z * box.max.z};
    return boxBetween(low, high);
}

void BoxColumns::appendBox(const Column& column, std::vector<float>& out) const
{
    const Kind& kind = kinds[column.kind];
    const TexturedBox& box = *kind.box;
    const BoundingBox extent = boxOf(column);
    const Vector3f low = extent.min;
    const Vector3f high = extent.max;
    const auto copiesHigh = static_cast<float>(column.count);
    for (int face = 0; face < texturedBoxFaces; ++face) {
        const int axis = face / 2;
        // Which corner bit runs up the column (none on the top and the foot).
        const int upBit = axis == 1 ? 0 : (axis == 0 ? 1 : 2);
        Vector3f normal;
        setComponent(normal, axis, face % 2 == 1 ? 1.0f : -1.0f);
        for (const int corner : faceTriangleCorners(face)) {
            const Vector3f position = faceCorner(low, high, face, corner);
            const TexturePoint base =
                box.faceCorners[static_cast<std::size_t>(face)][static_cast<std::size_t>(corner & ~upBit)];
            TexturePoint step;
            float counted = 0.0f;
            if (upBit != 0) {
                const TexturePoint top =
                    box.faceCorners[static_cast<std::size_t>(face)][static_cast<std::size_t>(corner | upBit)];
                step = {top.s - base.s, top.t - base.t};
                counted = (corner & upBit) != 0 ? copiesHigh : 0.0f;
            }
            out.insert(out.end(), {base.s, base.t, normal.x, normal.y, normal.z, position.x, position.y,
                                   position.z, step.s, step.t, counted});
        }
    }
}

void BoxColumns::appendDepthBox(const Column& column, std::vector<float>& out) const
{
    const Kind& kind = kinds[column.kind];
    const TexturedBox& box = *kind.box;
    const auto append = [&out](const Vector3f& low, const Vector3f& high, int face) {
        for (const int corner : faceTriangleCorners(face)) {
            const Vector3f position = faceCorner(low, high, face, corner);
            out.insert(out.end(), {position.x, position.y, position.z});
        }
    };
    const BoundingBox extent = boxOf(column);
    const Vector3f low = extent.min;
    const Vector3f high = extent.max;
    for (const int side : {0, 1, 4, 5}) {
        append(low, high, side);
    }
    // Every copy's own foot and top: where two copies meet, the face of one that the light sees from
    // behind is what the depth texture keeps there.
    for (std::uint32_t i = 0; i < column.count; ++i) {
        const float y = candidates[column.firstCopy + i].y;
        const Vector3f copyLow{low.x, y + kind.scale.y * box.min.y, low.z};
        const Vector3f copyHigh{high.x, y + kind.scale.y * box.max.y, high.z};
        append(copyLow, copyHigh, 2);
        append(copyLow, copyHigh, 3);
    }
}

std::size_t BoxColumns::drawDepth(const std::function<bool(const BoundingBox&)>& reaches)
{
    std::size_t copiesLeftOut = 0;
    vertices.clear();
    for (const Column& column : columnList) {
        if (reaches && !reaches(boxOf(column))) {
            copiesLeftOut += column.count;
            continue;
        }
        appendDepthBox(column, vertices);
    }
    if (vertices.empty()) {
        columnList.clear();
        return copiesLeftOut;
    }
    upload();
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 3 * sizeof(float), nullptr);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices.size() / 3));
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    columnList.clear();
    return copiesLeftOut;
}

void BoxColumns::upload()
{
    streamIntoBuffer(vertexBuffer, vertices.data(), vertices.size() * sizeof(float));
}

void BoxColumns::draw(unsigned program, Vector3f eye, bool cullBackFaces, bool nearFirst)
{
    if (columnList.empty()) {
        return;
    }
    columnBoxes.clear();
    for (const Column& column : columnList) {
        columnBoxes.push_back(boxOf(column));
    }
    // Only columns that stand apart swap places (NearBeforeFar.h): one carried through another with a
    // face in a face of it keeps the order gathered.
    if (nearFirst && apart.standApart(columnBoxes)) {
        for (Column& column : columnList) {
            const Vector3f middle{column.foot.x, (column.foot.y + column.topY) * 0.5f, column.foot.z};
            const Vector3f offset = middle - eye;
            column.distance = dot(offset, offset);
        }
        // Columns at equal distance keep the order gathered (their first copies count up in it), the same
        // every frame. A few dozen columns, one per stack, are sorted as they are.
        std::sort(columnList.begin(), columnList.end(), [](const Column& a, const Column& b) {
            return a.distance < b.distance || (a.distance == b.distance && a.firstCopy < b.firstCopy);
        });
    }
    vertices.clear();
    for (const Column& column : columnList) {
        appendBox(column, vertices);
    }

    upload();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glClientActiveTexture(GL_TEXTURE1);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(3, GL_FLOAT, columnVertexStride, reinterpret_cast<const void*>(8 * sizeof(float)));
    glClientActiveTexture(GL_TEXTURE0);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, columnVertexStride, reinterpret_cast<const void*>(0));
    glNormalPointer(GL_FLOAT, columnVertexStride, reinterpret_cast<const void*>(2 * sizeof(float)));
    glVertexPointer(3, GL_FLOAT, columnVertexStride, reinterpret_cast<const void*>(5 * sizeof(float)));

    glUseProgram(program);
    if (cullBackFaces) {
        glCullFace(GL_BACK);
        glEnable(GL_CULL_FACE);
    }
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    std::size_t first = 0;
    while (first < columnList.size()) {
        // Runs of one kind share one draw; the kinds are few, the runs long.
        std::size_t end = first + 1;
        while (end < columnList.size() && columnList[end].kind == columnList[first].kind) {
            ++end;
        }
        const Kind& kind = kinds[columnList[first].kind];
        applyMaterial(kind.material);
        glBindTexture(GL_TEXTURE_2D, kind.texture);
        glDrawArrays(GL_TRIANGLES, static_cast<GLint>(first * verticesPerColumn),
                     static_cast<GLsizei>((end - first) * verticesPerColumn));
        first = end;
    }
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);

    glClientActiveTexture(GL_TEXTURE1);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glClientActiveTexture(GL_TEXTURE0);
    unbindVertexBuffer();
    columnList.clear();
}

} // namespace libkub
