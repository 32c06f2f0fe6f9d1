#pragma once
// Walks a parsed libxml2 tree and fills a ColladaDocument (used by ColladaDocument only). Its
// definitions live in ColladaReader.cpp (root, libraries, images, materials),
// ColladaReaderEffects.cpp and ColladaReaderGeometry.cpp.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <libxml/tree.h>

#include "collada/ColladaDocument.h"

namespace libkub {

class ColladaReader {
  public:
    // documentBytes bounds the zero padding that accessor counts may ask for in the whole document.
    ColladaReader(ColladaDocument& document, std::size_t documentBytes);
    void read(const xmlNode* root);

  private:
    void warn(ColladaCode code, std::string message, const xmlNode* node);
    void fail(ColladaCode code, std::string message, const xmlNode* node);

    // The element's text: its text and CDATA children joined (entity references are not expanded).
    // Zero-terminated; valid until the next call.
    const char* textOf(const xmlNode* node);
    std::uint32_t unsignedAttribute(const xmlNode* node, const char* name, std::uint32_t fallback);
    // Appends the element's numbers, warning about tokens that are not numbers; returns how many were not.
    std::size_t floatsOf(const xmlNode* node, std::vector<float>& out);
    void unsignedOf(const xmlNode* node, std::vector<std::uint32_t>& out);

    void readAsset(const xmlNode* node);
    void readHeader(const xmlNode* node, ColladaEntity& entity);
    void registerEntity(const xmlNode* node, ColladaEntity& entity);
    template <typename Entity, typename Read>
    void readLibrary(const xmlNode* library, const char* element, std::vector<std::unique_ptr<Entity>>& list,
                     Read read);

    void readImage(const xmlNode* node, ColladaImage& image);
    void readMaterial(const xmlNode* node, ColladaMaterial& material);
    void readEffect(const xmlNode* node, ColladaEffect& effect);
    EffectParameter readParameter(const xmlNode* node);
    void readCommonProfile(const xmlNode* node, ColladaEffect& effect);
    // Both return false when the value's text (its own or its parameter's) held tokens that are not
    // numbers; those read as 0 as everywhere else.
    bool readColor(const xmlNode* node, const ColladaEffect& effect, const ColladaProfile& profile,
                   ColladaColor& color);
    bool readScalar(const xmlNode* node, const ColladaEffect& effect, const ColladaProfile& profile,
                    float& value);
    const EffectParameter* findParameter(const ColladaEffect& effect, const ColladaProfile& profile,
                                         std::string_view name) const;
    void readShaderProfile(const xmlNode* node, ProfileKind kind, ColladaEffect& effect);
    std::unique_ptr<CodeEntry> readCodeEntry(const xmlNode* node);
    void readTechnique(const xmlNode* node, ShaderTechnique& technique);
    void readPass(const xmlNode* node, ShaderPass& pass);

    void readGeometry(const xmlNode* node, ColladaGeometry& geometry);
    void readMesh(const xmlNode* node, ColladaGeometry& geometry);
    void readSource(const xmlNode* node, ColladaSource& source);
    void readGroup(const xmlNode* node, GroupKind kind, ColladaMesh& mesh);
    void readFaces(const xmlNode* node, PrimitiveGroup& group, bool hole);

    ColladaDocument& document_;
    std::uint64_t paddingBudget_;
    std::uint64_t reserveBudget_;
    std::string textScratch_;
    std::vector<std::uint32_t> indexScratch_;
    // Effects by the id the file gave them (first wins), for material references.
    std::unordered_map<std::string, ColladaEffect*> effectsById_;
    // The current mesh's sources by the id the file gave them (first wins).
    std::unordered_map<std::string_view, ColladaSource*> sourcesById_;
};

} // namespace libkub
