#pragma once
// Counts the fragments shaded in each pass of one frame: one GL query of fragment shader invocations
// (GL_ARB_pipeline_statistics_query) around each pass the frame names, read back once the frame is
// over. Queries of one kind cannot nest, so passes are counted one after the other, and what the
// frame draws outside every named pass is not counted at all; the counts of a frame's passes add up
// to what one query from the first begin to the last end would count.
//
// What a count is: the driver's number of fragment shader invocations. llvmpipe counts a fragment only
// once it has passed the early depth test (tests/engine/render/PassFragmentCounterGLTest.cpp), so a
// fragment hidden by what a pass drew before it costs no count, while one covered later does.
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

    // The sum of the passes' counts.
    static std::uint64_t total(const std::vector<PassFragments>& passes);
    // The passes on one line, "light 0 depth (point) 123, light 1 depth (spot) reused, ...; total 456".
    static std::string describe(const std::vector<PassFragments>& passes);

  private:
    bool available = false;
    bool open = false;
    // One query object per pass of the frame, made as the frame needs them and kept for the next.
    std::vector<unsigned> queries;
    std::vector<PassFragments> counted;
};

} // namespace libkub
