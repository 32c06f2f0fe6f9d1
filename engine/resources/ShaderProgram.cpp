#include "engine/resources/ShaderProgram.h"

#include <GL/glew.h>

#include <cstdio>
#include <filesystem>
#include <new>
#include <utility>
#include <vector>

#include "engine/resources/Diagnostics.h"

namespace libkub {

std::unique_ptr<char[]> readTextFile(const std::string& fileName)
{
    // Only regular files: a folder opens, but its "size" is no length of text.
    std::error_code error;
    if (!std::filesystem::is_regular_file(fileName, error)) {
        return nullptr;
    }
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (file == nullptr) {
        return nullptr;
    }
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        size = std::ftell(file);
    }
    std::rewind(file);
    if (size < 1) {
        std::fclose(file);
        return nullptr;
    }
    std::unique_ptr<char[]> text(new (std::nothrow) char[static_cast<std::size_t>(size) + 1]);
    if (!text) {
        std::fclose(file);
        return nullptr;
    }
    const std::size_t read = std::fread(text.get(), 1, static_cast<std::size_t>(size), file);
    std::fclose(file);

    // Carriage returns before line feeds are dropped, as a text-mode read does on Windows; the
    // terminator follows the last byte kept.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < read; ++i) {
        if (text[i] == '\r' && i + 1 < read && text[i + 1] == '\n') {
            continue;
        }
        text[kept++] = text[i];
    }
    text[kept] = '\0';
    if (kept == 0) {
        return nullptr;
    }
    return text;
}

Shader::Shader(const std::string& fileName, unsigned stageType) : file(fileName)
{
    shader = glCreateShader(stageType);
    const std::unique_ptr<char[]> source = readTextFile(file);
    if (file.empty()) {
        reportProblem("shader", "no source file named");
    } else if (!source) {
        reportProblem(file, "shader source cannot be read or is empty");
    }
    const char* text = source ? source.get() : "";
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    printShaderLog();
}

void Shader::printShaderLog() const
{
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    if (length <= 1) {
        return;
    }
    std::vector<char> log(static_cast<std::size_t>(length));
    GLsizei written = 0;
    glGetShaderInfoLog(shader, length, &written, log.data());
    std::printf("compiler_log for: %s\n", file.c_str());
    std::fwrite(log.data(), 1, static_cast<std::size_t>(written), stdout);
    std::fflush(stdout);
}

ShaderProgram::ShaderProgram(const std::string& vertexFile, std::string programName,
                             const std::string& fragmentFile)
{
    vertexShader = std::make_unique<Shader>(vertexFile, GL_VERTEX_SHADER);
    fragmentShader = std::make_unique<Shader>(fragmentFile, GL_FRAGMENT_SHADER);
    name = std::move(programName);
}

ShaderProgram::~ShaderProgram() = default;

void ShaderProgram::link()
{
    programId = glCreateProgram();
    glAttachShader(programId, vertexShader->shader);
    glAttachShader(programId, fragmentShader->shader);
    glLinkProgram(programId);

    GLint status = GL_FALSE;
    glGetProgramiv(programId, GL_LINK_STATUS, &status);
    linked = status == GL_TRUE;
    if (linked) {
        return;
    }
    reportProblem("shader program " + name, "linking failed; the linker says:");
    GLint length = 0;
    glGetProgramiv(programId, GL_INFO_LOG_LENGTH, &length);
    if (length > 1) {
        std::vector<char> log(static_cast<std::size_t>(length));
        GLsizei written = 0;
        glGetProgramInfoLog(programId, length, &written, log.data());
        std::string text(log.data(), static_cast<std::size_t>(written));
        if (text.empty() || text.back() != '\n') {
            text += '\n';
        }
        std::fputs(text.c_str(), stderr);
    } else {
        std::fputs("(no log)\n", stderr);
    }
    std::fflush(stderr);
}

} // namespace libkub
