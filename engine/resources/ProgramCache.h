#pragma once
// The process-wide store of the GLSL programs named by models' effects, one per pass name.
#include <map>
#include <memory>
#include <string>

#include "engine/resources/ShaderProgram.h"

namespace libkub {

class ProgramCache {
  public:
    // The one cache of the process, created on first use and never emptied.
    static ProgramCache& instance();

    // The program stored under the pass name, or null.
    ShaderProgram* find(const std::string& passName) const;
    // The program of the pass name; built from the two files and linked the first time it is asked for.
    ShaderProgram& obtain(const std::string& passName, const std::string& vertexFile,
                          const std::string& fragmentFile);

  private:
    ProgramCache() = default;
    std::map<std::string, std::unique_ptr<ShaderProgram>> programs;
};

} // namespace libkub
