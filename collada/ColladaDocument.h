#pragma once
// A COLLADA 1.4.1 document read with libxml2: its images, effects, materials and geometries.
//
//     libkub::ColladaDocument document;
//     document.loadFromFile("data/die.dae");     // false: missing, broken or not COLLADA (then empty)
//     for (const auto& image : document.images()) { image->fileName ... }   // absolute paths
//     for (const auto& geometry : document.geometries()) { geometry->mesh ... }
//
// The reader never throws and prints nothing: what it notices is kept in diagnostics() and passed
// to the handlers added with addHandler(). Everything read is owned by the document; the entries
// point at each other (a material at its effect, a group input at its source) with plain pointers
// that stay valid as long as the document lives and is not loaded again.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "collada/ColladaAsset.h"
#include "collada/ColladaDiagnostic.h"
#include "collada/ColladaEffect.h"
#include "collada/ColladaGeometry.h"
#include "collada/ColladaImage.h"
#include "collada/ColladaMaterial.h"

namespace libkub {

struct ByteSource;

class ColladaDocument {
  public:
    ColladaDocument();
    ~ColladaDocument();
    ColladaDocument(const ColladaDocument&) = delete;
    ColladaDocument& operator=(const ColladaDocument&) = delete;

    // Reads the file; relative file references resolve against its folder. Returns true when the
    // document was read without errors. A file that cannot be read, is not well-formed XML or has no
    // <COLLADA> root leaves the document empty and returns false.
    bool loadFromFile(const std::string& path);
    // The same for a document already in memory, resolving relative references against baseFolder.
    bool loadFromMemory(std::string_view xml, const std::string& baseFolder);

    // The libxml2 parse options the reader uses (for comparing against a bare parse).
    static int xmlOptions();

    // Called with every diagnostic recorded from now on (add before loading).
    void addHandler(ColladaDiagnosticHandler handler);

    const std::string& version() const { return version_; }
    const std::string& filePath() const { return filePath_; }     // absolute; empty for memory loads
    const std::string& baseFolder() const { return baseFolder_; } // absolute, without a trailing '/'
    const ColladaAsset& asset() const { return asset_; }

    // Library order: the images of library_images come first, then those declared inside effects.
    const std::vector<std::unique_ptr<ColladaImage>>& images() const { return images_; }
    const std::vector<std::unique_ptr<ColladaEffect>>& effects() const { return effects_; }
    const std::vector<std::unique_ptr<ColladaMaterial>>& materials() const { return materials_; }
    const std::vector<std::unique_ptr<ColladaGeometry>>& geometries() const { return geometries_; }

    // The entity registered under an id (ids are unique within a document), or null.
    const ColladaEntity* findById(std::string_view id) const;

    // The url of <scene>'s <instance_visual_scene>, and the type attributes of the root's <extra>s.
    const std::string& sceneUrl() const { return sceneUrl_; }
    const std::vector<std::string>& extras() const { return extras_; }

    // Everything the last load noticed, in the order it was noticed.
    const std::vector<ColladaDiagnostic>& diagnostics() const { return diagnostics_; }
    std::size_t errorCount() const;

  private:
    friend class ColladaReader;

    void clear();
    // Parses what the source delivers; `path` names a file source in diagnostics.
    bool parse(ByteSource& source, const std::string& path);
    void report(DiagnosticLevel level, ColladaCode code, std::string message, long line);
    // Makes the entity's id unique ("unknown_object" when empty) and indexes it.
    void registerEntity(ColladaEntity& entity);

    std::string version_ = "1.4.1";
    std::string filePath_;
    std::string baseFolder_;
    ColladaAsset asset_;
    std::vector<std::unique_ptr<ColladaImage>> images_;
    std::vector<std::unique_ptr<ColladaEffect>> effects_;
    std::vector<std::unique_ptr<ColladaMaterial>> materials_;
    std::vector<std::unique_ptr<ColladaGeometry>> geometries_;
    std::unordered_map<std::string, ColladaEntity*> index_;
    std::unordered_map<std::string, unsigned> nextSuffix_;
    std::string sceneUrl_;
    std::vector<std::string> extras_;
    std::vector<ColladaDiagnostic> diagnostics_;
    std::vector<ColladaDiagnosticHandler> handlers_;
};

} // namespace libkub
