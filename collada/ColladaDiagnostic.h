#pragma once
// What the reader noticed in a document: a warning (read on) or an error (something was left out),
// with a numeric code, a short message and the source line it concerns.
#include <functional>
#include <string>

namespace libkub {

enum class DiagnosticLevel : int {
    Warning = 1,
    Error = 2,
};

// Numeric codes of the reader's diagnostics, grouped by what they concern.
enum class ColladaCode : int {
    // The file and its root
    FileNotReadable = 1,
    NotWellFormed = 2,
    NotCollada = 3,
    FileTooLarge = 4,
    EntityDeclared = 5,
    UnknownRootChild = 10,
    MissingId = 11,
    WrongElement = 12,
    BadNumber = 13,
    DuplicateId = 14,
    // Images
    EmptyImageFile = 20,
    // Materials
    ExternalEffect = 30,
    MissingInstanceEffect = 31,
    MissingEffectFragment = 32,
    EffectNotFound = 33,
    // Effects
    UnknownProfile = 40,
    MissingTechnique = 41,
    MissingShadingModel = 42,
    ParamNotFound = 43,
    UnknownOpaqueMode = 44,
    IncludeWithoutSid = 45,
    UnknownShaderStage = 46,
    CodeNotFound = 47,
    ParamNotColour = 48,
    // Meshes and sources
    VertexSourceNotFound = 50,
    NoPositionInVertices = 51,
    MissingVertices = 52,
    NoGroups = 53,
    NoPositionSource = 54,
    ZeroStride = 55,
    PaddingLimited = 56,
    // Primitive groups
    UnknownGroupKind = 60,
    EmptyMaterialSymbol = 61,
    InputSourceNotFound = 62,
    ExtraVertexInput = 63,
    UnknownSemantic = 64,
    UnexpectedGroupChild = 65,
    NoVertexInput = 66,
    NoPrimitives = 67,
    EmptyVcount = 68,
    MisplacedVcount = 69,
    UnexpectedHoleChild = 70,
    CountMismatch = 71,
};

struct ColladaDiagnostic {
    DiagnosticLevel level = DiagnosticLevel::Warning;
    ColladaCode code = ColladaCode::WrongElement;
    std::string message;
    long line = 0; // source line of the element concerned, 0 when none
};

// Receives each diagnostic as it is recorded.
using ColladaDiagnosticHandler = std::function<void(const ColladaDiagnostic&)>;

// "warning" or "error".
const char* levelName(DiagnosticLevel level);

} // namespace libkub
