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
    if (text.compare(0, 8, "#version") == 0) {
        const std::size_t lineEnd = text.find('\n');
        at = lineEnd == std::string::npos ? text.size() : lineEnd + 1;
        if (lineEnd == std::string::npos) {
            text += '\n';
            at = text.size();
        }
    }
    text.insert(at, "#define " + macro + " 1\n");
    return text;
}

} // namespace

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
    const std::string text = withMacro(source.get(), macro);
    const char* texts[1] = {text.c_str()};
    const GLuint fragment = glCreateShader(GL_FRAGMENT_SHADER);
    glShaderSource(fragment, 1, texts, nullptr);
    glCompileShader(fragment);
    GLint compiled = GL_FALSE;
    glGetShaderiv(fragment, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        glDeleteShader(fragment);
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
