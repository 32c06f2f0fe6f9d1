#include "engine/ShaderVariant.h"

#include <GL/glew.h>

#include <memory>

#include "engine/ShaderProgram.h"

namespace libkub {

namespace {

// The source with "#define macro 1" after its #version line, which must stay the first.
std::string withMacro(const char* source, const std::string& macro)
{
    std::string text(source);
    std::size_t at = 0;
    if (text.rfind("#version", 0) == 0) {
        if (text.find('\n') == std::string::npos) {
            text += '\n';
        }
        at = text.find('\n') + 1;
    }
    text.insert(at, "#define " + macro + " 1\n");
    return text;
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
    const std::unique_ptr<char[]> source = readTextFile(fragmentFile);
    if (!source) {
        return 0;
    }
    const GLuint fragment = compileStageQuietly(GL_FRAGMENT_SHADER, withMacro(source.get(), macro).c_str());
    if (fragment == 0) {
        return 0;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, base.vertexShader->shader);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(fragment); // freed with the program
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

} // namespace libkub
