#include "engine/resources/ShaderVariant.h"

#include <GL/glew.h>

#include <memory>

#include "engine/resources/ShaderProgram.h"

namespace libkub {

namespace {

// The source with "#define macro 1" for each macro after its #version line, which must stay the first.
std::string withMacros(const char* source, const std::vector<std::string>& macros)
{
    std::string text(source);
    std::size_t at = 0;
    if (text.rfind("#version", 0) == 0) {
        if (text.find('\n') == std::string::npos) {
            text += '\n';
        }
        at = text.find('\n') + 1;
    }
    std::string defines;
    for (const std::string& macro : macros) {
        defines += "#define " + macro + " 1\n";
    }
    text.insert(at, defines);
    return text;
}

// One stage of a variant: the file compiled with the macros, or 0.
unsigned compileFileWithMacros(unsigned stage, const std::string& file,
                               const std::vector<std::string>& macros)
{
    const std::unique_ptr<char[]> source = readTextFile(file);
    return source ? compileStageQuietly(stage, withMacros(source.get(), macros).c_str()) : 0;
}

// Links the two stages into a new program and lets go of them; 0 when it does not link.
unsigned linkStages(unsigned vertex, unsigned fragment, bool ownsVertex)
{
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(fragment); // freed with the program
    if (ownsVertex) {
        glDeleteShader(vertex);
    }
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

} // namespace

unsigned compileStageQuietly(unsigned stage, const char* source)
{
    const GLuint shader = glCreateShader(stage);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

unsigned linkFragmentVariant(const ShaderProgram& base, const std::string& fragmentFile,
                             const std::string& macro)
{
    if (!base.linked || !base.vertexShader) {
        return 0;
    }
    const GLuint fragment = compileFileWithMacros(GL_FRAGMENT_SHADER, fragmentFile, {macro});
    return fragment == 0 ? 0 : linkStages(base.vertexShader->shader, fragment, false);
}

unsigned linkVariant(const ShaderProgram& base, const std::vector<std::string>& macros)
{
    if (!base.linked || !base.vertexShader || !base.fragmentShader) {
        return 0;
    }
    const GLuint vertex = compileFileWithMacros(GL_VERTEX_SHADER, base.vertexShader->file, macros);
    const GLuint fragment = compileFileWithMacros(GL_FRAGMENT_SHADER, base.fragmentShader->file, macros);
    if (vertex == 0 || fragment == 0) {
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        return 0;
    }
    return linkStages(vertex, fragment, true);
}

} // namespace libkub
