#pragma once
// GLSL programs built from a vertex and a fragment source file.
#include <memory>
#include <string>

namespace libkub {

// The whole text of a file in a new buffer, or null when it cannot be opened or is empty.
std::unique_ptr<char[]> readTextFile(const std::string& fileName);

// One compiled stage and the file it came from.
class Shader {
  public:
    Shader(const std::string& fileName, unsigned stageType);
    // Prints "compiler_log for: <file>" and the log when the compiler left one.
    void printShaderLog() const;

    unsigned shader = 0;
    std::string file;
};

class ShaderProgram {
  public:
    ShaderProgram(const std::string& vertexFile, std::string name, const std::string& fragmentFile);
    ~ShaderProgram();
    // Creates the program object and links both stages into it.
    void link();

    unsigned programId = 0;
    std::string name;
    std::unique_ptr<Shader> vertexShader;
    std::unique_ptr<Shader> fragmentShader;
};

} // namespace libkub
