#pragma once
// Counts the fragments of each pass of one frame, read back once the frame is over: around each pass
// the frame names, one GL query of fragment shader invocations (GL_ARB_pipeline_statistics_query) and
// one of the samples that pass the depth test (GL_SAMPLES_PASSED). Queries of one kind cannot nest, so
// passes are counted one after the other, and what the frame draws outside every named pass is not
// counted at all; the counts of a frame's passes add up to what one query from the first begin to the
// last end would count.
//
// What the counts are (tests/engine/render/PassFragmentCounterGLTest.cpp):
// - invocations are the driver's own count. llvmpipe counts 16 for every block of 4 x 4 pixels in
//   which a triangle covers a pixel, before its depth test: a fragment the depth test rejects counts
//   as much as one it shades. So on llvmpipe they count what a pass rasterises, hidden or not.
// - samples past the depth test are exact (one a pixel without multisampling): the fragments that
//   won their depth test when drawn. Those that something drawn later covers are among them.
//
// The renderer holds a pointer to a counter, null unless someone counts: a frame without a counter
// makes no query and no GL call for it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace libkub {

struct PassFragments {
    std::string pass;
    std::uint64_t fragments = 0;
    // The samples that passed the depth test (with it off, every one drawn).
    std::uint64_t pastDepthTest = 0;
    // False for a pass that drew nothing: a depth texture kept from an earlier frame, or a light that
    // draws no depth (no framebuffer objects).
    bool drew = true;
};

class PassFragmentCounter {
  public:
    // Needs a current context with the extension entry points loaded. When the driver cannot count
    // fragment shader invocations, says so in one line and counts nothing from then on.
    PassFragmentCounter();
    ~PassFragmentCounter();
    PassFragmentCounter(const PassFragmentCounter&) = delete;
    PassFragmentCounter& operator=(const PassFragmentCounter&) = delete;

    // Whether the driver counts; when it does not, every other call does nothing.
    bool counts() const { return available; }
    // Forgets the last frame's passes.
    void beginFrame();
    // Starts counting a named pass. A pass begun while another is open ends that one first (its count
    // is kept), so a mistaken order never raises a GL error.
    void beginPass(std::string_view name);
    // Ends the open pass; `drew` false marks a pass that drew nothing.
    void endPass(bool drew = true);
    // Ends any pass still open and reads every pass's count, in the order they began. Waits for the GL
    // to finish those passes.
    const std::vector<PassFragments>& endFrame();
    // The passes of the last frame ended.
    const std::vector<PassFragments>& passes() const { return counted; }

    // The passes' counts added up, as one pass named "total".
    static PassFragments total(const std::vector<PassFragments>& passes);
    // The passes on one line: each pass's invocations and samples past the depth test,
    // "light 0 depth (point) 1600/1200, light 1 depth (spot) drew nothing, ...; total 5600/4000".
    static std::string describe(const std::vector<PassFragments>& passes);

  private:
    bool available = false;
    bool open = false;
    // Two query objects per pass of the frame (invocations, samples past the depth test), made as the
    // frame needs them and kept for the next.
    std::vector<unsigned> queries;
    std::vector<unsigned> depthQueries;
    std::vector<PassFragments> counted;
};

} // namespace libkub
