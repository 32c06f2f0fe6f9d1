// Shaders and programs on a real context: compiler logs on standard output, unreadable sources and
// failed links named on standard error.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <vector>

#include "engine/resources/ShaderProgram.h"
#include "tests/support/PngWriter.h"

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

namespace {

std::string writeSource(const std::string& name, const std::string& text)
{
    const std::string path = kubora::test::temporaryFolder() + "/" + name;
    EXPECT_TRUE(kubora::test::writeFileBytes(path, {text.begin(), text.end()}));
    return path;
}

const char* const goodVertex = "void main()\n{\n    gl_Position = ftransform();\n}\n";
const char* const goodFragment = "void main()\n{\n    gl_FragColor = vec4(1.0, 0.5, 0.25, 1.0);\n}\n";

std::string shaderLog(unsigned shader)
{
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<std::size_t>(length) + 1);
    GLsizei written = 0;
    glGetShaderInfoLog(shader, length, &written, log.data());
    return std::string(log.data(), static_cast<std::size_t>(written));
}

} // namespace

TEST(ShaderLog, CleanCompilePrintsNothing)
{
    const std::string path = writeSource("clean.vert", goodVertex);
    CaptureStdout();
    CaptureStderr();
    const libkub::Shader shader(path, GL_VERTEX_SHADER);
    EXPECT_EQ(GetCapturedStderr(), "");
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_NE(shader.shader, 0u);
    EXPECT_EQ(shader.file, path);
}

TEST(ShaderLog, CompileErrorPrintsHeaderThenLog)
{
    const std::string path = writeSource("broken.frag", "void main()\n{\n    gl_FragColor = vec4(1.0\n}\n");
    CaptureStdout();
    const libkub::Shader shader(path, GL_FRAGMENT_SHADER);
    const std::string printed = GetCapturedStdout();
    const std::string log = shaderLog(shader.shader);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(printed, "compiler_log for: " + path + "\n" + log);
}

TEST(ShaderLog, WindowsLineEndsCompile)
{
    const std::string path =
        writeSource("windows.frag", "void main()\r\n{\r\n    gl_FragColor = vec4(1.0);\r\n}\r\n");
    CaptureStdout();
    const libkub::Shader shader(path, GL_FRAGMENT_SHADER);
    EXPECT_EQ(GetCapturedStdout(), "");
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader.shader, GL_COMPILE_STATUS, &compiled);
    EXPECT_EQ(compiled, GL_TRUE);
}

TEST(ShaderSource, UnreadableOrEmptySourceIsNamedOnce)
{
    const std::string missing = kubora::test::temporaryFolder() + "/missing.vert";
    const std::string empty = writeSource("empty.vert", "");
    for (const std::string& path : {missing, empty}) {
        CaptureStdout();
        CaptureStderr();
        const libkub::Shader shader(path, GL_VERTEX_SHADER);
        GetCapturedStdout(); // whatever the compiler says of an empty text
        EXPECT_EQ(GetCapturedStderr(), "kubora: " + path + ": shader source cannot be read or is empty\n");
    }
}

TEST(ShaderProgramLink, GoodStagesLinkQuietly)
{
    const std::string vertex = writeSource("good.vert", goodVertex);
    const std::string fragment = writeSource("good.frag", goodFragment);
    CaptureStdout();
    CaptureStderr();
    libkub::ShaderProgram program(vertex, "good", fragment);
    program.link();
    EXPECT_EQ(GetCapturedStderr(), "");
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_EQ(program.name, "good");
    EXPECT_EQ(program.vertexShader->file, vertex);
    EXPECT_EQ(program.fragmentShader->file, fragment);
    EXPECT_TRUE(program.linked);
    EXPECT_TRUE(glIsProgram(program.programId));
    GLint attached = 0;
    glGetProgramiv(program.programId, GL_ATTACHED_SHADERS, &attached);
    EXPECT_EQ(attached, 2);
}

TEST(ShaderProgramLink, FailedLinkNamesProgramThenPrintsLinkLog)
{
    // Both stages compile, but the vertex stage has no main function.
    const std::string vertex = writeSource("nomain.vert", "vec4 helper()\n{\n    return vec4(0.0);\n}\n");
    const std::string fragment = writeSource("fine.frag", goodFragment);
    libkub::ShaderProgram program(vertex, "broken", fragment);
    CaptureStderr();
    program.link();
    const std::string printed = GetCapturedStderr();
    EXPECT_FALSE(program.linked);

    GLint length = 0;
    glGetProgramiv(program.programId, GL_INFO_LOG_LENGTH, &length);
    ASSERT_GT(length, 1);
    std::vector<char> log(static_cast<std::size_t>(length));
    GLsizei written = 0;
    glGetProgramInfoLog(program.programId, length, &written, log.data());
    std::string expectedLog(log.data(), static_cast<std::size_t>(written));
    if (expectedLog.back() != '\n') {
        expectedLog += '\n';
    }
    EXPECT_EQ(printed, "kubora: shader program broken: linking failed; the linker says:\n" + expectedLog);
}
