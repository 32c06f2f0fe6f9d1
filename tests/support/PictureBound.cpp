#include "tests/support/PictureBound.h"

#include <GL/glew.h> // before any other GL header

#include <algorithm>
#include <cstdlib>

#include "engine/render/SceneRenderer.h"
#include "tests/support/PngWriter.h"

namespace kubora::test {

namespace {

// The largest channel difference of two RGB pixels.
int difference(const std::uint8_t* a, const std::uint8_t* b)
{
    int largest = 0;
    for (int c = 0; c < 3; ++c) {
        largest = std::max(largest, std::abs(int{a[c]} - int{b[c]}));
    }
    return largest;
}

std::string besideName(const std::string& name, const std::string& suffix)
{
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name + suffix : name.substr(0, dot) + suffix + name.substr(dot);
}

// Whether the edge pixel belongs to one of the objects under test.
bool edgeOfObjects(const EdgeMap& edges, std::size_t pixel, const ObjectNumbers& about)
{
    if (!edges.edgeAt(pixel)) {
        return false;
    }
    return about.empty() || std::any_of(about.begin(), about.end(),
                                        [&](std::uint16_t number) { return edges.touches(pixel, number); });
}

// The edge map as a picture: white edges over the objects in shades by number.
std::vector<std::uint8_t> edgePicture(const EdgeMap& edges)
{
    std::vector<std::uint8_t> rgb(edges.objects.size() * 3);
    for (std::size_t pixel = 0; pixel < edges.objects.size(); ++pixel) {
        const std::uint16_t number = edges.objects[pixel];
        const bool edge = edges.edgeAt(pixel);
        rgb[pixel * 3] = edge ? 255 : static_cast<std::uint8_t>(number * 67 % 200);
        rgb[pixel * 3 + 1] = edge ? 255 : static_cast<std::uint8_t>(number * 131 % 200);
        rgb[pixel * 3 + 2] = edge ? 255 : static_cast<std::uint8_t>(number * 29 % 200);
    }
    return rgb;
}

} // namespace

ExactFrame drawExactFrame(libkub::SceneRenderer& renderer, int width, int height, unsigned depthFormat)
{
    ExactFrame exact;
    // The edge map first: the frame after the exact one is then drawn after an exact frame, as it
    // would be without the map.
    exact.edges = libkub::drawEdgeMap(renderer, width, height, depthFormat);
    const libkub::FramePlan wasPlan = renderer.plan;
    renderer.plan = libkub::FramePlan::exact();
    renderer.render();
    exact.frame = readFrame(width, height);
    renderer.plan = wasPlan;
    return exact;
}

PictureComparison compareWithExact(const ExactFrame& exact, const Frame& frame, PictureBound bound,
                                   const ObjectNumbers& about)
{
    PictureComparison result;
    result.width = exact.frame.width;
    result.height = exact.frame.height;
    const std::size_t pixels = static_cast<std::size_t>(exact.frame.width) * exact.frame.height;
    if (exact.frame.width != frame.width || exact.frame.height != frame.height ||
        exact.frame.rgb.size() != pixels * 3 || frame.rgb.size() != pixels * 3) {
        result.problem = "the frame is " + std::to_string(frame.width) + " x " +
                         std::to_string(frame.height) + ", the exact frame " +
                         std::to_string(exact.frame.width) + " x " + std::to_string(exact.frame.height);
        result.within = false;
        return result;
    }
    const bool shortcuts = bound == PictureBound::shortcuts;
    if (shortcuts && (exact.edges.width != frame.width || exact.edges.height != frame.height ||
                      exact.edges.objects.size() != pixels)) {
        result.problem = "no edge map of the exact frame's size (did its shadow program build?)";
        result.within = false;
        return result;
    }
    for (std::size_t pixel = 0; shortcuts && pixel < pixels; ++pixel) {
        result.edgePixels += edgeOfObjects(exact.edges, pixel, about) ? 1 : 0;
    }
    result.allowedBeyondOne = shortcuts ? result.edgePixels / edgePixelsPerMovedPixel : 0;
    for (std::size_t pixel = 0; pixel < pixels; ++pixel) {
        const std::uint8_t* want = &exact.frame.rgb[pixel * 3];
        const std::uint8_t* got = &frame.rgb[pixel * 3];
        const int d = difference(want, got);
        if (d == 0) {
            continue;
        }
        const int x = static_cast<int>(pixel % static_cast<std::size_t>(frame.width));
        const int y = static_cast<int>(pixel / static_cast<std::size_t>(frame.width));
        ++result.differing;
        if (d > result.worst) {
            result.worst = d;
            result.worstX = x;
            result.worstY = y;
            std::copy_n(want, 3, result.worstExact);
            std::copy_n(got, 3, result.worstFrame);
        }
        if (shortcuts && d <= 1) {
            continue;
        }
        ++result.beyondOne;
        if (!shortcuts || !exact.edges.edgeAt(pixel)) {
            ++result.offEdges;
            if (result.offEdgeX < 0) {
                result.offEdgeX = x;
                result.offEdgeY = y;
            }
        }
    }
    result.within = result.offEdges == 0 && result.beyondOne <= result.allowedBeyondOne;
    return result;
}

std::ostream& operator<<(std::ostream& out, const PictureComparison& comparison)
{
    if (!comparison.problem.empty()) {
        return out << comparison.problem;
    }
    out << comparison.differing << " of " << comparison.width * comparison.height << " pixels differ; "
        << comparison.beyondOne << " by more than one level, " << comparison.allowedBeyondOne
        << " allowed (of " << comparison.edgePixels << " edge pixels of the objects under test), "
        << comparison.offEdges << " of them off the edges";
    if (comparison.offEdgeX >= 0) {
        out << " (the first at " << comparison.offEdgeX << "," << comparison.offEdgeY << ")";
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

testing::AssertionResult withinBound(const ExactFrame& exact, const Frame& frame, PictureBound bound,
                                     const std::string& failureName, const ObjectNumbers& about)
{
    const PictureComparison comparison = compareWithExact(exact, frame, bound, about);
    if (comparison.within) {
        return testing::AssertionSuccess() << comparison;
    }
    if (!comparison.problem.empty()) {
        return testing::AssertionFailure() << comparison;
    }
    const std::string written = KUBORA_BUILD_DIR "/" + failureName;
    const std::string writtenExact = KUBORA_BUILD_DIR "/" + besideName(failureName, "-exact");
    writeRgbPng(written, frame.width, frame.height, frame.rgb);
    writeRgbPng(writtenExact, exact.frame.width, exact.frame.height, exact.frame.rgb);
    std::string edgesNote;
    if (!exact.edges.empty()) {
        const std::string writtenEdges = KUBORA_BUILD_DIR "/" + besideName(failureName, "-edges");
        writeRgbPng(writtenEdges, exact.edges.width, exact.edges.height, edgePicture(exact.edges));
        edgesNote = ", its edges to " + writtenEdges;
    }
    return testing::AssertionFailure() << comparison << "; frame written to " << written
                                       << ", the exact frame to " << writtenExact << edgesNote;
}

testing::AssertionResult identicalFrames(const Frame& expected, const Frame& frame,
                                         const std::string& failureName)
{
    return withinBound(ExactFrame{expected, {}}, frame, PictureBound::identical, failureName);
}

} // namespace kubora::test
