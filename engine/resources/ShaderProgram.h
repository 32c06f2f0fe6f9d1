#pragma once
// GLSL programs built from a vertex and a fragment source file.
#include <memory>
#include <string>

namespace libkub {

// The whole text of a file in a new NUL-terminated buffer, with Windows line ends turned into
// plain ones, or null when it cannot be opened or is empty.
std::unique_ptr<char[]> readTextFile(const std::string& fileName);

// One compiled stage and the file it came from.
class Shader {
  public:
    // Compiles at once and prints the compiler's log. A source that cannot be read or is empty is
    // named on standard error, and the stage is compiled from an empty text.
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
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;

    // Creates the program object and links both stages into it. A failed link is named on standard
    // error, followed by the linker's log; `linked` tells callers whether the program is usable
    // (making an unlinked program current is an OpenGL error).
    void link();

    unsigned programId = 0;
    std::string name;
    std::unique_ptr<Shader> vertexShader;
    std::unique_ptr<Shader> fragmentShader;
    bool linked = false;
};

} // namespace libkub
