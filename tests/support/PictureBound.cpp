#include "tests/support/PictureBound.h"

#include <GL/glew.h> // before any other GL header

#include <algorithm>
#include <cstdlib>

#include "tests/support/PngWriter.h"

namespace kubora::test {

namespace {

// Pixels of the bound's share: 0.1 % of the covered ones.
constexpr std::size_t coveredPerMovedEdge = 1000;

// The largest channel difference of two RGB pixels.
int difference(const std::uint8_t* a, const std::uint8_t* b)
{
    int largest = 0;
    for (int c = 0; c < 3; ++c) {
        largest = std::max(largest, std::abs(int{a[c]} - int{b[c]}));
    }
    return largest;
}

template <typename T>
std::vector<T> flipRows(const std::vector<T>& bottomUp, int width, int height, int perPixel)
{
    std::vector<T> topDown(bottomUp.size());
    const std::size_t row = static_cast<std::size_t>(width) * perPixel;
    for (int y = 0; y < height; ++y) {
        std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>((height - 1 - y) * row), row,
                    topDown.begin() + static_cast<std::ptrdiff_t>(y * row));
    }
    return topDown;
}

std::string besideName(const std::string& name, const std::string& suffix)
{
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name + suffix : name.substr(0, dot) + suffix + name.substr(dot);
}

} // namespace

Frame readFrame(int width, int height)
{
    glFinish();
    GLint readFramebuffer = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    glReadBuffer(readFramebuffer == 0 ? GL_BACK : GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    Frame frame;
    frame.width = width;
    frame.height = height;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    std::vector<float> depth(static_cast<std::size_t>(width) * height);
    glReadPixels(0, 0, width, height, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    frame.rgb = flipRows(rgb, width, height, 3);
    frame.depth = flipRows(depth, width, height, 1);
    return frame;
}

PictureComparison compareWithExact(const Frame& exact, const Frame& frame, PictureBound bound)
{
    PictureComparison result;
    result.width = exact.width;
    result.height = exact.height;
    if (exact.width != frame.width || exact.height != frame.height || exact.rgb.size() != frame.rgb.size()) {
        result.within = false;
        return result;
    }
    const int width = exact.width;
    const int height = exact.height;
    for (std::size_t i = 0; i < exact.depth.size(); ++i) {
        result.covered += exact.depth[i] < 1.0f ? 1 : 0;
    }
    result.allowedBeyondOne = bound == PictureBound::identical ? 0 : result.covered / coveredPerMovedEdge;
    // Which pixels differ by more than one level.
    std::vector<std::uint8_t> beyond(static_cast<std::size_t>(width) * height, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t pixel = static_cast<std::size_t>(y) * width + x;
            const std::uint8_t* want = &exact.rgb[pixel * 3];
            const std::uint8_t* got = &frame.rgb[pixel * 3];
            const int d = difference(want, got);
            if (d == 0) {
                continue;
            }
            ++result.differing;
            if (d > result.worst) {
                result.worst = d;
                result.worstX = x;
                result.worstY = y;
                std::copy_n(want, 3, result.worstExact);
                std::copy_n(got, 3, result.worstFrame);
            }
            const bool counts = bound == PictureBound::identical || d > 1;
            beyond[pixel] = counts ? 1 : 0;
            result.beyondOne += counts ? 1 : 0;
        }
    }
    const auto isBeyond = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < width && y < height &&
               beyond[static_cast<std::size_t>(y) * width + x] != 0;
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!isBeyond(x, y)) {
                continue;
            }
            // A moved edge is a line one pixel wide: no 2 x 2 square of such pixels holds this one.
            bool inSquare = false;
            for (int dy = -1; dy <= 0 && !inSquare; ++dy) {
                for (int dx = -1; dx <= 0 && !inSquare; ++dx) {
                    inSquare = isBeyond(x + dx, y + dy) && isBeyond(x + dx + 1, y + dy) &&
                               isBeyond(x + dx, y + dy + 1) && isBeyond(x + dx + 1, y + dy + 1);
                }
            }
            if (bound == PictureBound::shortcuts && !inSquare) {
                ++result.movedEdges;
                continue;
            }
            ++result.unexplained;
            if (result.unexplainedX < 0) {
                result.unexplainedX = x;
                result.unexplainedY = y;
            }
        }
    }
    result.within = result.unexplained == 0 && result.beyondOne <= result.allowedBeyondOne;
    return result;
}

std::ostream& operator<<(std::ostream& out, const PictureComparison& comparison)
{
    out << comparison.differing << " of " << comparison.width * comparison.height << " pixels differ ("
        << comparison.covered << " covered); " << comparison.beyondOne << " by more than one level, "
        << comparison.allowedBeyondOne << " allowed, of which " << comparison.movedEdges
        << " moved edge pixels and " << comparison.unexplained << " not";
    if (comparison.unexplainedX >= 0) {
        out << " (the first at " << comparison.unexplainedX << "," << comparison.unexplainedY << ")";
    }
    if (comparison.worstX >= 0) {
        const auto colour = [](const std::uint8_t* c) {
            return std::to_string(c[0]) + " " + std::to_string(c[1]) + " " + std::to_string(c[2]);
        };
        out << "; worst " << comparison.worst << " levels at " << comparison.worstX << ","
            << comparison.worstY << " (exact " << colour(comparison.worstExact) << ", frame "
            << colour(comparison.worstFrame) << ")";
    }
    return out;
}

testing::AssertionResult withinBound(const Frame& exact, const Frame& frame, PictureBound bound,
                                     const std::string& failureName)
{
    const PictureComparison comparison = compareWithExact(exact, frame, bound);
    if (comparison.within) {
        return testing::AssertionSuccess() << comparison;
    }
    if (exact.width != frame.width || exact.height != frame.height) {
        return testing::AssertionFailure() << "the frame is " << frame.width << " x " << frame.height
                                           << ", the exact frame " << exact.width << " x " << exact.height;
    }
    const std::string written = KUBORA_BUILD_DIR "/" + failureName;
    const std::string writtenExact = KUBORA_BUILD_DIR "/" + besideName(failureName, "-exact");
    writeRgbPng(written, frame.width, frame.height, frame.rgb);
    writeRgbPng(writtenExact, exact.width, exact.height, exact.rgb);
    return testing::AssertionFailure()
           << comparison << "; frame written to " << written << ", the exact frame to " << writtenExact;
}

} // namespace kubora::test
