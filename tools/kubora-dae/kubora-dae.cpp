// kubora-dae: reads COLLADA files with the game's reader and mesh builder (no window needed) and
// prints one line per file with what the game would get from it:
//   PATH<TAB>loaded=1 images=N effects=N materials=N geometries=N groups=N triangles=N texture=PATH
//   normals=file|computed|none
// (one line; normals say whether the triangles' normals come from the file or are computed from
// the positions, or that there are no triangles). --verbose adds the reader's warnings and errors
// after each file, then notes: a model without an image draws untextured, and why a model draws
// nothing (no triangles, or none with any area). Exit status 0 when every file loaded, 1 otherwise.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "collada/ColladaDocument.h"
#include "collada/ColladaQueries.h"
#include "engine/resources/Diagnostics.h"
#include "engine/geometry/TriangleExtraction.h"
#include "engine/geometry/MeshDiagnosis.h"

namespace {

const char* normalsName(libkub::NormalOrigin origin)
{
    switch (origin) {
    case libkub::NormalOrigin::File:
        return "file";
    case libkub::NormalOrigin::Computed:
        return "computed";
    case libkub::NormalOrigin::None:
        break;
    }
    return "none";
}

bool describe(const std::string& path, bool verbose)
{
    libkub::ColladaDocument document;
    const bool loaded = document.loadFromFile(path);

    std::size_t groups = 0;
    for (const auto& geometry : document.geometries()) {
        if (geometry->mesh) {
            for (const libkub::PrimitiveGroup& group : geometry->mesh->groups) {
                groups += libkub::isAllTriangles(group) ? 1 : 0;
            }
        }
    }
    libkub::NormalOrigin normals = libkub::NormalOrigin::None;
    const std::vector<libkub::Triangle> triangles = libkub::extractTriangles(document, &normals);
    const std::string texture =
        document.images().empty() ? std::string() : document.images().front()->fileName;

    std::printf("%s\tloaded=%d images=%zu effects=%zu materials=%zu geometries=%zu groups=%zu triangles=%zu "
                "texture=%s normals=%s\n",
                path.c_str(), loaded ? 1 : 0, document.images().size(), document.effects().size(),
                document.materials().size(), document.geometries().size(), groups, triangles.size(),
                texture.c_str(), normalsName(normals));
    if (verbose) {
        for (const libkub::ColladaDiagnostic& diagnostic : document.diagnostics()) {
            std::printf("  %s %d", libkub::levelName(diagnostic.level), static_cast<int>(diagnostic.code));
            if (diagnostic.line > 0) {
                std::printf(" line %ld", diagnostic.line);
            }
            std::printf(": %s\n", diagnostic.message.c_str());
        }
        if (texture.empty()) {
            std::printf("  note: no image; the model draws untextured in its material colours\n");
        }
        std::string why = libkub::whyNoTriangles(document);
        if (why.empty()) {
            why = libkub::whyNoArea(document, triangles.data(), triangles.size());
        }
        if (!why.empty()) {
            std::printf("  note: nothing to draw: %s\n", why.c_str());
        }
    }
    return loaded;
}

} // namespace

int main(int argc, char** argv)
{
    bool verbose = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--verbose") {
            verbose = true;
        } else if (argument.starts_with("--")) {
            libkub::reportProblem(argv[i], "unknown option (usage: kubora-dae [--verbose] FILE...)");
            return 1;
        } else {
            files.emplace_back(argument);
        }
    }
    if (files.empty()) {
        libkub::reportProblem("kubora-dae", "no file given (usage: kubora-dae [--verbose] FILE...)");
        return 1;
    }
    bool allLoaded = true;
    for (const std::string& file : files) {
        allLoaded = describe(file, verbose) && allLoaded;
    }
    return allLoaded ? 0 : 1;
}
