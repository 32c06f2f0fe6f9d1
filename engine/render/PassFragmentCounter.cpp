#include "engine/render/PassFragmentCounter.h"

#include <GL/glew.h>

#include "engine/resources/Diagnostics.h"

namespace libkub {

namespace {

std::uint64_t queryResult(GLuint query)
{
    if (glGetQueryObjectui64v != nullptr) {
        GLuint64 result = 0;
        glGetQueryObjectui64v(query, GL_QUERY_RESULT, &result);
        return result;
    }
    GLuint result = 0; // 32 bits: a frame's counts stay far below their limit
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &result);
    return result;
}

// "invocations/past the depth test".
std::string countsText(const PassFragments& pass)
{
    return std::to_string(pass.fragments) + "/" + std::to_string(pass.pastDepthTest);
}

} // namespace

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
        glDeleteQueries(static_cast<GLsizei>(depthQueries.size()), depthQueries.data());
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
        GLuint made[2] = {0, 0};
        glGenQueries(2, made);
        queries.push_back(made[0]);
        depthQueries.push_back(made[1]);
    }
    counted.push_back({std::string(name), 0, 0, true});
    glBeginQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB, queries[counted.size() - 1]);
    glBeginQuery(GL_SAMPLES_PASSED, depthQueries[counted.size() - 1]);
    open = true;
}

void PassFragmentCounter::endPass(bool drew)
{
    if (!open) {
        return;
    }
    glEndQuery(GL_SAMPLES_PASSED);
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
        // Asking for a result waits until the GL has finished the pass.
        counted[index].fragments = queryResult(queries[index]);
        counted[index].pastDepthTest = queryResult(depthQueries[index]);
    }
    return counted;
}

PassFragments PassFragmentCounter::total(const std::vector<PassFragments>& passes)
{
    PassFragments sum{"total", 0, 0, true};
    for (const PassFragments& pass : passes) {
        sum.fragments += pass.fragments;
        sum.pastDepthTest += pass.pastDepthTest;
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
        line += pass.drew ? countsText(pass) : "drew nothing";
    }
    return line + (line.empty() ? "" : "; ") + "total " + countsText(total(passes));
}

} // namespace libkub
