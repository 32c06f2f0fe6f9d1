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

// Whether each channel of the colour lies, give or take one level, between the smallest and the largest
// value of that channel among the 3 x 3 pixels around (x, y) of the picture.
bool liesAmongAround(const std::uint8_t* colour, const std::vector<std::uint8_t>& picture, int width,
                     int height, int x, int y)
{
    int low[3] = {255, 255, 255};
    int high[3] = {0, 0, 0};
    for (int ny = std::max(0, y - 1); ny <= std::min(height - 1, y + 1); ++ny) {
        for (int nx = std::max(0, x - 1); nx <= std::min(width - 1, x + 1); ++nx) {
            const std::uint8_t* other = &picture[(static_cast<std::size_t>(ny) * width + nx) * 3];
            for (int c = 0; c < 3; ++c) {
                low[c] = std::min(low[c], int{other[c]});
                high[c] = std::max(high[c], int{other[c]});
            }
        }
    }
    for (int c = 0; c < 3; ++c) {
        if (colour[c] + 1 < low[c] || colour[c] > high[c] + 1) {
            return false;
        }
    }
    return true;
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
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
            const std::uint8_t* want = &exact.rgb[at];
            const std::uint8_t* got = &frame.rgb[at];
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
            if (bound == PictureBound::identical) {
                ++result.unexplained;
            } else if (d > 1) {
                ++result.beyondOne;
                if (liesAmongAround(got, exact.rgb, width, height, x, y)) {
                    ++result.movedEdges;
                    continue;
                }
                ++result.unexplained;
            } else {
                continue;
            }
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
