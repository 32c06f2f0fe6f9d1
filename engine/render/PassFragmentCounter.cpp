#include "engine/render/PassFragmentCounter.h"

#include <GL/glew.h>

#include "engine/resources/Diagnostics.h"

namespace libkub {

PassFragmentCounter::PassFragmentCounter()
{
    // The count became core in OpenGL 4.6 under the same number; a driver may offer either name.
    available = GLEW_ARB_pipeline_statistics_query || GLEW_VERSION_4_6;
    if (!available) {
        reportProblem("fragment counts", "this OpenGL offers no GL_ARB_pipeline_statistics_query; passes "
                                         "are not counted");
    }
}

PassFragmentCounter::~PassFragmentCounter()
{
    if (!queries.empty()) {
        glDeleteQueries(static_cast<GLsizei>(queries.size()), queries.data());
    }
}

void PassFragmentCounter::beginFrame()
{
    if (open) {
        endPass();
    }
    counted.clear();
}

void PassFragmentCounter::beginPass(std::string_view name)
{
    if (!available) {
        return;
    }
    if (open) {
        endPass();
    }
    if (counted.size() == queries.size()) {
        GLuint query = 0;
        glGenQueries(1, &query);
        queries.push_back(query);
    }
    counted.push_back({std::string(name), 0, true});
    glBeginQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB, queries[counted.size() - 1]);
    open = true;
}

void PassFragmentCounter::endPass(bool drew)
{
    if (!open) {
        return;
    }
    glEndQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB);
    counted.back().drew = drew;
    open = false;
}

const std::vector<PassFragments>& PassFragmentCounter::endFrame()
{
    if (open) {
        endPass();
    }
    for (std::size_t index = 0; index < counted.size(); ++index) {
        // Asking for the result waits until the GL has finished the pass.
        if (glGetQueryObjectui64v != nullptr) {
            GLuint64 fragments = 0;
            glGetQueryObjectui64v(queries[index], GL_QUERY_RESULT, &fragments);
            counted[index].fragments = fragments;
        } else {
            GLuint fragments = 0; // 32 bits: a frame's count stays far below their limit
            glGetQueryObjectuiv(queries[index], GL_QUERY_RESULT, &fragments);
            counted[index].fragments = fragments;
        }
    }
    return counted;
}

std::uint64_t PassFragmentCounter::total(const std::vector<PassFragments>& passes)
{
    std::uint64_t sum = 0;
    for (const PassFragments& pass : passes) {
        sum += pass.fragments;
    }
    return sum;
}

std::string PassFragmentCounter::describe(const std::vector<PassFragments>& passes)
{
    std::string line;
    for (const PassFragments& pass : passes) {
        line += line.empty() ? "" : ", ";
        line += pass.pass + " ";
        // A pass that drew nothing can still have been counted (zero): the word says why it is zero.
        line += pass.drew ? std::to_string(pass.fragments) : "drew nothing";
    }
    return line + (line.empty() ? "" : "; ") + "total " + std::to_string(total(passes));
}

} // namespace libkub
