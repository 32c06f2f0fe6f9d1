// Which triangle lists are proven textured boxes (the shape dice columns are drawn from): the game's
// die, and a cube whose faces are mapped in every way a box may or may not be, changed one fault at a
// time.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "collada/ColladaDocument.h"
#include "engine/geometry/TexturedBox.h"
#include "engine/geometry/TriangleExtraction.h"

namespace {

using libkub::Triangle;
using libkub::Vector3f;

// A 2 x 1 x 3 box from (-1, 0, -1), its six faces mapped onto the cells of a 3 x 2 atlas: face f onto
// the cell (f % 3, f / 3), its first axis along s and its second along t. Each face is two triangles,
// counter-clockwise seen from outside, with its outward normal at every corner.
std::vector<Triangle> atlasBox()
{
    const Vector3f low{-1.0f, 0.0f, -1.0f};
    const Vector3f high{1.0f, 1.0f, 2.0f};
    std::vector<Triangle> triangles;
    for (int face = 0; face < 6; ++face) {
        const int axis = face / 2;
        const int side = face % 2;
        const int first = axis == 0 ? 1 : 0;
        const int second = axis == 2 ? 1 : 2;
        const auto corner = [&](int bits) {
            libkub::Corner c;
            float* position[3] = {&c.position.x, &c.position.y, &c.position.z};
            *position[axis] = side == 1 ? (axis == 0   ? high.x
                                           : axis == 1 ? high.y
                                                       : high.z)
                                        : (axis == 0   ? low.x
                                           : axis == 1 ? low.y
                                                       : low.z);
            const float lows[3] = {low.x, low.y, low.z};
            const float highs[3] = {high.x, high.y, high.z};
            *position[first] = (bits & 1) != 0 ? highs[first] : lows[first];
            *position[second] = (bits & 2) != 0 ? highs[second] : lows[second];
            float* normal[3] = {&c.normal.x, &c.normal.y, &c.normal.z};
            *normal[axis] = side == 1 ? 1.0f : -1.0f;
            c.s = (static_cast<float>(face % 3) + 0.1f + 0.8f * static_cast<float>(bits & 1)) / 3.0f;
            c.t = (static_cast<float>(face / 3) + 0.1f + 0.8f * static_cast<float>((bits >> 1) & 1)) / 2.0f;
            return c;
        };
        const bool forwards = (axis == 1) != (side == 1);
        const int quad[4] = {0, forwards ? 1 : 2, 3, forwards ? 2 : 1};
        triangles.push_back({{corner(quad[0]), corner(quad[1]), corner(quad[2])}});
        triangles.push_back({{corner(quad[0]), corner(quad[2]), corner(quad[3])}});
    }
    return triangles;
}

std::shared_ptr<const libkub::TexturedBox> prove(const std::vector<Triangle>& triangles)
{
    return libkub::proveTexturedBox(triangles.data(), triangles.size());
}

// Applies the change to every corner of the face's two triangles.
void changeFace(std::vector<Triangle>& box, int face, const std::function<void(libkub::Corner&)>& change)
{
    for (int i = 2 * face; i < 2 * face + 2; ++i) {
        for (libkub::Corner& corner : box[static_cast<std::size_t>(i)].corners) {
            change(corner);
        }
    }
}

// Each change to the atlas box, and whether the result is still a textured box.
struct Variant {
    const char* what;
    bool proven;
    std::function<void(std::vector<Triangle>&)> change;
};

const Variant variants[] = {
    {"as made", true, [](std::vector<Triangle>&) {}},
    {"a face's image turned a quarter (s along the second axis, t along the first)", true,
     [](std::vector<Triangle>& box) {
         changeFace(box, 0, [](libkub::Corner& corner) { std::swap(corner.s, corner.t); });
     }},
    {"a face's image mirrored", true,
     [](std::vector<Triangle>& box) {
         changeFace(box, 2, [](libkub::Corner& corner) { corner.s = 1.0f - corner.s; });
     }},
    {"normals twice as long", true,
     [](std::vector<Triangle>& box) {
         for (Triangle& triangle : box) {
             for (libkub::Corner& corner : triangle.corners) {
                 corner.normal = corner.normal * 2.0f;
             }
         }
     }},
    {"a face split into four triangles around its centre", true,
     [](std::vector<Triangle>& box) {
         // The top (face 3): its quad's corners are the first triangle's three and the second's last.
         const libkub::Corner q[4] = {box[6].corners[0], box[6].corners[1], box[6].corners[2],
                                      box[7].corners[2]};
         libkub::Corner centre = q[0];
         centre.position = (q[0].position + q[2].position) * 0.5f;
         centre.s = (q[0].s + q[2].s) / 2.0f;
         centre.t = (q[0].t + q[2].t) / 2.0f;
         box.erase(box.begin() + 6, box.begin() + 8);
         for (int i = 0; i < 4; ++i) {
             box.push_back({{q[i], q[(i + 1) % 4], centre}});
         }
     }},
    {"one corner's coordinate off the face's map", false,
     [](std::vector<Triangle>& box) { box[1].corners[2].s += 0.01f; }},
    {"a face mapped onto a sheared parallelogram", false,
     [](std::vector<Triangle>& box) {
         changeFace(box, 1, [](libkub::Corner& corner) { corner.s += 0.05f * corner.position.z; });
     }},
    {"smoothed normals at one corner", false,
     [](std::vector<Triangle>& box) {
         box[0].corners[0].normal = Vector3f{-0.58f, -0.58f, -0.58f};
     }},
    {"a normal pointing into the box", false,
     [](std::vector<Triangle>& box) { box[0].corners[1].normal = box[0].corners[1].normal * -1.0f; }},
    {"an open box", false, [](std::vector<Triangle>& box) { box.resize(10); }},
    {"inside out", false,
     [](std::vector<Triangle>& box) {
         for (Triangle& triangle : box) {
             std::swap(triangle.corners[1], triangle.corners[2]);
         }
     }},
    {"a corner pulled off the box (no longer axis-aligned)", false,
     [](std::vector<Triangle>& box) {
         const Vector3f corner{1.0f, 1.0f, 2.0f};
         for (Triangle& triangle : box) {
             for (libkub::Corner& c : triangle.corners) {
                 if (c.position == corner) {
                     c.position.y = 1.25f;
                 }
             }
         }
     }},
};

class TexturedBoxProof : public testing::TestWithParam<Variant> {};

TEST_P(TexturedBoxProof, ProvesExactlyTheBoxesWhoseFacesMapOntoRectangles)
{
    std::vector<Triangle> box = atlasBox();
    GetParam().change(box);
    EXPECT_EQ(prove(box) != nullptr, GetParam().proven) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Variants, TexturedBoxProof, testing::ValuesIn(variants));

TEST(TexturedBox, KeepsEachFacesCornerCoordinatesAndMapsBetweenThem)
{
    const auto box = prove(atlasBox());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->min, (Vector3f{-1.0f, 0.0f, -1.0f}));
    EXPECT_EQ(box->max, (Vector3f{1.0f, 1.0f, 2.0f}));
    for (int face = 0; face < libkub::texturedBoxFaces; ++face) {
        const float cellS = static_cast<float>(face % 3);
        const float cellT = static_cast<float>(face / 3);
        const libkub::TexturePoint middle = box->coordinateOn(face, 0.5f, 0.25f);
        EXPECT_NEAR(middle.s, (cellS + 0.5f) / 3.0f, 1e-6) << "face " << face;
        EXPECT_NEAR(middle.t, (cellT + 0.3f) / 2.0f, 1e-6) << "face " << face;
        EXPECT_NEAR(box->faceCorners[face][3].s, (cellS + 0.9f) / 3.0f, 1e-6) << "face " << face;
    }
}

TEST(TexturedBox, TheGamesDieIsOneAndTheOtherModelsAreNot)
{
    for (const auto& [name, isBox] : std::initializer_list<std::pair<std::string, bool>>{
             {"die", true}, {"tile", false}, {"board", false}, {"duck", false}}) {
        libkub::ColladaDocument document;
        ASSERT_TRUE(document.loadFromFile(KUBORA_SOURCE_DIR "/data/" + name + ".dae")) << name;
        EXPECT_EQ(prove(libkub::extractTriangles(document)) != nullptr, isBox) << name;
    }
}

} // namespace
