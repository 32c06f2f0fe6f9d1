#include "engine/resources/Model.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <map>
#include <tuple>
#include <vector>

#include "engine/resources/RenderSettings.h"
#include "collada/ColladaDocument.h"
#include "collada/ColladaQueries.h"
#include "engine/resources/Diagnostics.h"
#include "engine/geometry/MeshClosure.h"
#include "engine/geometry/MeshDiagnosis.h"
#include "engine/resources/MeshPlacement.h"
#include "engine/resources/ProgramCache.h"
#include "engine/geometry/TexturedBox.h"
#include "engine/resources/TextureCache.h"

namespace libkub {

namespace {

Color4f toColor(const ColladaColor& colour)
{
    return {colour.r, colour.g, colour.b, colour.a};
}

bool documentIsEmpty(const ColladaDocument& document)
{
    return document.images().empty() && document.effects().empty() && document.materials().empty() &&
           document.geometries().empty();
}

bool hasTriangles(const ColladaDocument& document)
{
    for (const auto& geometry : document.geometries()) {
        if (!geometry->mesh) {
            continue;
        }
        for (const PrimitiveGroup& group : geometry->mesh->groups) {
            if (isAllTriangles(group) && faceCount(group) > 0) {
                return true;
            }
        }
    }
    return false;
}

// Why the document gives no model at all, or empty when it gives one. A document without an image
// still gives one (drawn untextured), and so does one with materials that name no effect (they are
// skipped); without triangles there is nothing to draw.
std::string unusableBecause(const ColladaDocument& document)
{
    return hasTriangles(document) ? std::string() : "no geometry with a triangle group";
}

// What a model is drawn in when its effect's colours cannot be read: a plain light grey without
// highlights, which shows its shape under any light instead of the black that unreadable numbers give.
Material plainGrey()
{
    Material grey;
    grey.ambient = {0.6f, 0.6f, 0.6f, 1.0f};
    grey.diffuse = {0.6f, 0.6f, 0.6f, 1.0f};
    grey.specular = {0.0f, 0.0f, 0.0f, 1.0f};
    grey.emission = {0.0f, 0.0f, 0.0f, 1.0f};
    grey.shininess = 0.0f;
    return grey;
}

// The values a material takes from the profile that did not read, as "ambient, diffuse"; empty when
// all of them read.
std::string unreadableMaterialValues(const CommonProfile& common)
{
    std::string text;
    for (const std::string& name : common.unreadable) {
        if (name == "emission" || name == "ambient" || name == "diffuse" || name == "specular" ||
            name == "shininess") {
            text += (text.empty() ? "" : ", ") + name;
        }
    }
    return text;
}

// The common profiles of the instantiated effects, in material and profile order; later ones win. A
// profile whose numbers do not all read gives the plain grey, with one line naming what did not read:
// the file stays as malformed as the reader found it, and the model still shows.
void readMaterial(const std::string& path, const ColladaDocument& document, Material& material)
{
    for (const auto& colladaMaterial : document.materials()) {
        if (colladaMaterial->effect == nullptr) {
            reportProblem(path, "material \"" + colladaMaterial->id +
                                    "\" names no effect of this file; it is skipped");
            continue;
        }
        for (const auto& profile : colladaMaterial->effect->profiles) {
            if (profile->kind != ProfileKind::Common) {
                continue;
            }
            const auto& common = static_cast<const CommonProfile&>(*profile);
            if (const std::string unreadable = unreadableMaterialValues(common); !unreadable.empty()) {
                reportProblem(path, "effect \"" + colladaMaterial->effect->id +
                                        "\": text that is not numbers in " + unreadable +
                                        "; the model is drawn in plain grey");
                material = plainGrey();
                continue;
            }
            material.diffuse = toColor(common.diffuse);
            material.ambient = toColor(common.ambient);
            material.specular = toColor(common.specular);
            material.emission = toColor(common.emission);
            material.shininess = common.shininess;
        }
    }
}

// One program per GLSL effect, from the last pass of its first technique, shared by pass name.
void readPrograms(const std::string& path, const ColladaDocument& document, std::vector<unsigned>& programs)
{
    for (const auto& effect : document.effects()) {
        const ShaderProfile* profile = findShaderProfile(*effect, ProfileKind::GLSL);
        if (profile == nullptr || profile->techniques.empty() || profile->techniques.front().passes.empty()) {
            continue;
        }
        const ShaderPass& pass = profile->techniques.front().passes.back();
        const PassShader* vertex = vertexShader(pass);
        const PassShader* fragment = fragmentShader(pass);
        const bool vertexFile = vertex != nullptr && vertex->code != nullptr && vertex->code->isInclude;
        const bool fragmentFile =
            fragment != nullptr && fragment->code != nullptr && fragment->code->isInclude;
        if (!vertexFile || !fragmentFile) {
            reportProblem(path, "shader pass \"" + pass.name + "\" of effect \"" + effect->id +
                                    "\" lacks a vertex or fragment shader file; it gets no program");
            continue;
        }
        ShaderProgram& program =
            ProgramCache::instance().obtain(pass.name, vertex->code->fileName, fragment->code->fileName);
        programs.push_back(program.programId);
    }
}

void drawVertexBuffer(const Mesh& mesh)
{
    bindVertexBuffer(mesh.vertexBuffer);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(mesh.vertexCount));
    unbindVertexBuffer();
}

void drawImmediate(const Mesh& mesh)
{
    glBegin(GL_TRIANGLES);
    for (const Triangle& triangle : mesh.triangles) {
        for (const Corner& corner : triangle.corners) {
            glTexCoord2f(corner.s, corner.t);
            glNormal3f(corner.normal.x, corner.normal.y, corner.normal.z);
            glVertex3f(corner.position.x, corner.position.y, corner.position.z);
        }
    }
    glEnd();
}

} // namespace

void Model::setPosition(float x, float y, float z)
{
    mesh.translation = {x, y, z};
    box.centre = {x, y, z};
    box.min = box.centre - box.size * 0.5f;
    box.max = box.centre + box.size * 0.5f;
}

BoundingBox Model::setSize(float x, float y, float z)
{
    mesh.scale = {x, y, z};
    box.size = {x, y, z};
    box.min = box.centre - box.size * 0.5f;
    box.max = box.centre + box.size * 0.5f;
    return box;
}

BoundingBox Model::drawnBounds() const
{
    if (meshMin.x > meshMax.x) {
        return box;
    }
    const MeshRotation& rotation = mesh.rotation;
    if (rotation.angle == 0.0f) {
        // Unturned (every die, every tile): the box's two corners scaled and moved bound the other six,
        // computed as the loop below computes them. Asked for every object in every pass of a frame.
        Vector3f a{meshMin.x * mesh.scale.x, meshMin.y * mesh.scale.y, meshMin.z * mesh.scale.z};
        Vector3f b{meshMax.x * mesh.scale.x, meshMax.y * mesh.scale.y, meshMax.z * mesh.scale.z};
        a += mesh.translation;
        b += mesh.translation;
        const Vector3f low{std::min({box.min.x, a.x, b.x}), std::min({box.min.y, a.y, b.y}),
                           std::min({box.min.z, a.z, b.z})};
        const Vector3f high{std::max({box.max.x, a.x, b.x}), std::max({box.max.y, a.y, b.y}),
                            std::max({box.max.z, a.z, b.z})};
        return boxBetween(low, high);
    }
    // The eight corners of the mesh's box through scale, rotation (Rodrigues' formula about the unit
    // axis) and translation, as glTranslatef, glRotatef and glScalef apply them.
    const Vector3f axis = normalize({rotation.x, rotation.y, rotation.z});
    const bool turned = axis.length() > 0.0f;
    const double radians = rotation.angle * 3.141592653589793 / 180.0;
    const auto cosine = static_cast<float>(std::cos(radians));
    const auto sine = static_cast<float>(std::sin(radians));
    BoundingBox drawn = box;
    for (int i = 0; i < 8; ++i) {
        Vector3f p{(i & 1) != 0 ? meshMax.x : meshMin.x, (i & 2) != 0 ? meshMax.y : meshMin.y,
                   (i & 4) != 0 ? meshMax.z : meshMin.z};
        p = {p.x * mesh.scale.x, p.y * mesh.scale.y, p.z * mesh.scale.z};
        if (turned) {
            p = p * cosine + cross(axis, p) * sine + axis * (dot(axis, p) * (1.0f - cosine));
        }
        p += mesh.translation;
        drawn.min = {std::min(drawn.min.x, p.x), std::min(drawn.min.y, p.y), std::min(drawn.min.z, p.z)};
        drawn.max = {std::max(drawn.max.x, p.x), std::max(drawn.max.y, p.y), std::max(drawn.max.z, p.z)};
    }
    return boxBetween(drawn.min, drawn.max);
}

void Model::draw()
{
    glPushMatrix();
    glMultMatrixf(placementOf(mesh).data());
    drawRecording();
    glPopMatrix();
}

void Model::drawPlaced(const Matrix4f& modelview)
{
    glPushMatrix();
    glLoadMatrixf(modelview.data());
    drawRecording();
    glPopMatrix();
}

void Model::drawRecording()
{
    applyMaterial(material);

    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textures.empty() ? 0 : textures.front());

    // Each mode draws only the recording the mesh has: a mesh built for another mode draws nothing.
    switch (RenderSettings::instance().renderMode) {
    case VBO:
        if (mesh.vertexBuffer != 0 && mesh.vertexCount > 0) {
            drawVertexBuffer(mesh);
        }
        break;
    case Immediate:
        drawImmediate(mesh);
        break;
    case DisplayList:
        if (mesh.displayList != 0) {
            glCallList(mesh.displayList);
        }
        break;
    default:
        break;
    }

    glDisable(GL_TEXTURE_2D);
}

namespace {

std::unique_ptr<Model> readModel(const std::string& path)
{
    auto model = std::make_unique<Model>();
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        reportProblem(path, "model file not found; the object is left empty");
        return model;
    }
    ColladaDocument document;
    if (!document.loadFromFile(path) && documentIsEmpty(document)) {
        reportProblem(path, "not a readable COLLADA document; the object is left empty");
        return model;
    }
    if (const std::string problem = unusableBecause(document); !problem.empty()) {
        reportProblem(path, problem + "; the object is left empty");
        return model;
    }

    model->mesh = buildMesh(document);
    // The vertex-buffer mode keeps no triangles on the CPU: read them once more for the extent.
    const std::vector<Triangle> triangles =
        model->mesh.triangles.empty() ? extractTriangles(document) : std::vector<Triangle>{};
    const bool kept = !model->mesh.triangles.empty();
    const Triangle* loaded = kept ? model->mesh.triangles.begin() : triangles.data();
    const std::size_t loadedCount = kept ? model->mesh.triangles.size() : triangles.size();
    // The model is kept as the file gives it, but a modder looking at an empty stage learns why.
    if (const std::string why = whyNoArea(document, loaded, loadedCount); !why.empty()) {
        reportProblem(path, why + "; the model shows nothing");
    }
    model->mesh.closed = isClosedOutwardSurface(loaded, loadedCount);
    model->mesh.texturedBox = proveTexturedBox(loaded, loadedCount);
    const auto flat = [](const Triangle& t) {
        return t.corners[0].normal == t.corners[1].normal && t.corners[1].normal == t.corners[2].normal;
    };
    model->mesh.flatNormals = std::all_of(loaded, loaded + loadedCount, flat);
    constexpr float far = std::numeric_limits<float>::max();
    Vector3f low{far, far, far};
    Vector3f high{-far, -far, -far};
    for (const Triangle& triangle : model->mesh.triangles.empty() ? triangles : model->mesh.triangles) {
        for (const Corner& corner : triangle.corners) {
            const Vector3f& p = corner.position;
            low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
            high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
        }
    }
    if (low.x <= high.x) {
        model->meshMin = low;
        model->meshMax = high;
    }
    glActiveTexture(GL_TEXTURE0);
    // The first image is the colour texture; a model without one draws in its material colours
    // through a white texture, so that drawing stays the same in every render mode.
    const bool hasImage = !document.images().empty() && !document.images().front()->fileName.empty();
    model->textures.push_back(
        hasImage ? TextureCache::instance().obtain(document.images().front()->fileName).textureName
                 : TextureCache::instance().white());
    readMaterial(path, document, model->material);
    readPrograms(path, document, model->programs);
    return model;
}

} // namespace

std::unique_ptr<Model> loadModel(const std::string& path)
{
    // Every die and every tile reads the same file: read each file once per render mode and copy
    // the result (the GL buffers, lists and textures are shared, the placement is each model's own).
    // A file that cannot be used is so reported once. The file's time and size are part of the key,
    // so a file that changes on disk is read again.
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    const auto size = std::filesystem::file_size(absolute, error);
    const std::uintmax_t knownSize = error ? 0 : size;
    const auto time = std::filesystem::last_write_time(absolute, error);
    const auto knownTime = error ? 0 : time.time_since_epoch().count();
    using Key = std::tuple<std::string, int, std::uintmax_t, long long>;
    static std::map<Key, Model> prototypes;
    const Key key{absolute.string(), static_cast<int>(RenderSettings::instance().renderMode), knownSize,
                  static_cast<long long>(knownTime)};
    if (const auto found = prototypes.find(key); found != prototypes.end()) {
        return std::make_unique<Model>(found->second);
    }
    std::unique_ptr<Model> model = readModel(path);
    prototypes.emplace(key, *model);
    return model;
}

} // namespace libkub
